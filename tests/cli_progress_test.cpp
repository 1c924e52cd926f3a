#include <gtest/gtest.h>

#include "cli/cli_host.h"

namespace velmora {
namespace {

// The terminal's line over entries, bytes and the end: many empty files
// move the bar, a large file's bytes weigh as they should, and only a
// finished job shows 100 %.
TEST(ProgressLineTest, CountsEntriesAndBytesAndEndsFull) {
    constexpr std::int64_t kGiB = std::int64_t{1} << 30;
    const struct {
        WorkCount done;
        const char* line;
    } cases[] = {
        {{0, 0, 0, 0}, "Decodificando      [                    ]   0 %"},
        {{0, 300000, 0, 0}, "Decodificando      [                    ]   0 %  0/300000"},
        {{150000, 300000, 0, 0}, "Decodificando      [##########          ]  50 %  150000/300000"},
        {{299999, 300000, 0, 0}, "Decodificando      [################### ]  99 %  299999/300000"},
        {{300000, 300000, 0, 0}, "Decodificando      [####################] 100 %  300000/300000"},
        // One entry of two done, but not its gigabyte: the bytes weigh.
        {{1, 2, 0, kGiB}, "Decodificando      [                    ]   0 %  1/2"},
        {{1, 2, kGiB / 4, kGiB}, "Decodificando      [#####               ]  25 %  1/2"},
        {{2, 2, kGiB - 1, kGiB}, "Decodificando      [################### ]  99 %  2/2"},
        {{2, 2, kGiB, kGiB}, "Decodificando      [####################] 100 %  2/2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressLine("Decodificando", c.done), c.line) << c.line;
    // A caption longer than its column is not cut.
    EXPECT_EQ(ProgressLine("Una leyenda de veinte", {1, 1, 0, 0}),
              "Una leyenda de veinte [####################] 100 %  1/1");
}

}  // namespace
}  // namespace velmora
