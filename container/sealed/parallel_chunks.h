#pragma once

#include <algorithm>
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

}  // namespace velmora
