#include "container/sealed/core_team.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace velmora {
namespace {

// Rounds given back to back (the helpers awake) and after a pause longer
// than they stay awake (asleep, to be woken): in each, every chunk is taken
// exactly once and the work runs once on every thread, the caller's and
// each helper's; the team then ends in either state.
TEST(CoreTeamTest, EveryRoundTakesEachChunkOnceOnEveryThread) {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    for (const auto pause : {std::chrono::milliseconds(0), std::chrono::milliseconds(5)}) {
        CoreTeam team;
        for (const std::size_t count : {0u, 1u, 2u, 3u, 64u, 1u, 200u}) {
            std::vector<std::atomic<int>> taken(count);
            std::atomic<unsigned> runs{0};
            team.ForEachCoreTaking(count, [&](const auto& next) {
                ++runs;
                for (std::size_t j = 0; next(j);)
                    ++taken[j];
            });
            EXPECT_EQ(runs.load(), threads) << count << " after " << pause.count() << " ms";
            for (std::size_t j = 0; j < count; ++j)
                EXPECT_EQ(taken[j].load(), 1) << j << " of " << count;
            std::this_thread::sleep_for(pause);
        }
    }
}

// The caller's share throwing: the helpers' shares still end before the
// exception leaves (they use the caller's frame), and take every chunk.
TEST(CoreTeamTest, ACallerThatThrowsWaitsForTheHelpersFirst) {
    CoreTeam team;
    const auto caller = std::this_thread::get_id();
    std::atomic<int> helper_chunks{0};
    const auto work = [&](const auto& next) {
        if (std::this_thread::get_id() == caller)
            throw std::runtime_error("caller's share");
        for (std::size_t j = 0; next(j);) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            ++helper_chunks;
        }
    };
    EXPECT_THROW(team.ForEachCoreTaking(400, work), std::runtime_error);
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_EQ(helper_chunks.load(), 400);
    }
}

}  // namespace
}  // namespace velmora
