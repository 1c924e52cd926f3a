#include "container/sealed/core_team.h"

#include <algorithm>
#include <chrono>

namespace velmora {
namespace {

// How long a helper stays awake for the next round: a group's work on a
// core takes a few milliseconds.
constexpr auto kAwake = std::chrono::milliseconds(2);

}  // namespace

CoreTeam::CoreTeam() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    helpers_.reserve(cores - 1);
    for (unsigned i = 1; i < cores; ++i)
        helpers_.emplace_back([this] { Help(); });
}

CoreTeam::~CoreTeam() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        round_.fetch_add(1, std::memory_order_release);
    }
    round_changed_.notify_all();
    for (std::thread& helper : helpers_)
        helper.join();
}

void CoreTeam::RunOnEveryThread(const void* body, Runner runner) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        body_ = body;
        runner_ = runner;
        busy_.store(helpers_.size(), std::memory_order_relaxed);
        round_.fetch_add(1, std::memory_order_release);
    }
    round_changed_.notify_all();
    // The helpers use the caller's frame: they are waited for even when the
    // caller's own share throws.
    const auto wait_for_helpers = [this] {
        while (busy_.load(std::memory_order_acquire) != 0)
            std::this_thread::yield();
    };
    try {
        runner(body);
    } catch (...) {
        wait_for_helpers();
        throw;
    }
    wait_for_helpers();
}

void CoreTeam::Help() {
    std::uint64_t seen = 0;
    for (;;) {
        const auto until = std::chrono::steady_clock::now() + kAwake;
        while (round_.load(std::memory_order_acquire) == seen &&
               std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        const void* body = nullptr;
        Runner runner = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            round_changed_.wait(lock, [&] { return round_.load() != seen; });
            if (stopping_)
                return;
            seen = round_.load();
            body = body_;
            runner = runner_;
        }
        runner(body);
        busy_.fetch_sub(1, std::memory_order_release);
    }
}

}  // namespace velmora
