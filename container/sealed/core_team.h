#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

// Helper threads, one per core but the caller's, kept for a stream's life
// and given each group's chunks in turn. Between groups a helper waits
// awake for a moment (yielding its core to anything else runnable) before
// it sleeps, so that in a steady stream it is running, on its own core,
// when the next group comes: a thread woken or started for every group is
// placed and started late by the ordinary scheduler.
class CoreTeam {
  public:
    CoreTeam();
    ~CoreTeam();
    CoreTeam(const CoreTeam&) = delete;
    CoreTeam& operator=(const CoreTeam&) = delete;

    // Hands the chunks [0, count) out one at a time to whichever thread
    // (the helpers and the calling one) asks first: work(next) runs once on
    // each and loops while next(j) gives it a chunk in j. Returns once
    // every thread's work has ended. One call at a time.
    template <typename Work>
    void ForEachCoreTaking(std::size_t count, const Work& work) {
        std::atomic<std::size_t> taken{0};
        const auto next = [&taken, count](std::size_t& j) {
            j = taken.fetch_add(1, std::memory_order_relaxed);
            return j < count;
        };
        const auto body = [&work, &next] { work(next); };
        using Body = decltype(body);
        RunOnEveryThread(&body, [](const void* run) { (*static_cast<const Body*>(run))(); });
    }

  private:
    using Runner = void (*)(const void*);
    void RunOnEveryThread(const void* body, Runner runner);
    void Help();

    const void* body_ = nullptr;
    Runner runner_ = nullptr;
    std::atomic<std::uint64_t> round_{0};  // raised for each call and to stop
    std::atomic<std::size_t> busy_{0};     // helpers still in this round's work
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable round_changed_;
    std::vector<std::thread> helpers_;
};

}  // namespace velmora
