#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace velmora {

// Runs work(first, end) over [0, count) split into one run per core, the
// calling thread taking the first; returns once every run has ended. For a
// group's chunks, which are sealed and opened independently.
template <typename Work>
void ForEachCoreRun(std::size_t count, const Work& work) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t runs = std::min(cores, count);
    if (runs <= 1) {
        work(std::size_t{0}, count);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(runs - 1);
    for (std::size_t run = 1; run < runs; ++run)
        helpers.emplace_back(
            [&work, run, runs, count] { work(count * run / runs, count * (run + 1) / runs); });
    work(std::size_t{0}, count / runs);
    for (std::thread& helper : helpers)
        helper.join();
}

// Hands the chunks [0, count) out one at a time to whichever of the
// threads (one per core, the calling thread among them) asks first, so that
// a core slowed by other work (the calling thread's reads and writes,
// another program) takes fewer rather than keeping the others waiting at
// the end. work(next) runs once on each thread and loops while next(j)
// gives it a chunk in j; returns once every thread's work has ended.
template <typename Work>
void ForEachCoreTaking(std::size_t count, const Work& work) {
    std::atomic<std::size_t> taken{0};
    const auto next = [&taken, count](std::size_t& j) {
        j = taken.fetch_add(1, std::memory_order_relaxed);
        return j < count;
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t runs = std::min(cores, count);
    std::vector<std::thread> helpers;
    helpers.reserve(runs > 1 ? runs - 1 : 0);
    for (std::size_t run = 1; run < runs; ++run)
        helpers.emplace_back([&work, &next] { work(next); });
    work(next);
    for (std::thread& helper : helpers)
        helper.join();
}

}  // namespace velmora
