#include "container/sealed/batch_ring.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

struct Batch {
    int number = -1;
    int worked = -1;  // set by the worker from `number`
};

// More batches than the ring holds, for every size down to one: a batch is
// free exactly while fewer than `count` are out, each comes back worked on
// and in the order given, and its slot is the next one handed out.
TEST(BatchRingTest, BatchesComeBackWorkedInOrderAndTheirSlotsAreReusedInTurn) {
    constexpr int kBatches = 7;
    for (const std::size_t count : {1u, 2u, 3u}) {
        BatchRing<Batch> ring(count, [](Batch& batch) { batch.worked = batch.number * 10; });
        std::vector<Batch*> given;
        int taken_back = 0;
        auto take_back = [&] {
            Batch& back = ring.Oldest();
            EXPECT_EQ(&back, given[taken_back]) << count;
            EXPECT_EQ(back.worked, taken_back * 10) << count;
            ring.Release();
            ++taken_back;
        };
        for (int n = 0; n < kBatches; ++n) {
            const auto out = static_cast<std::size_t>(n - taken_back);
            EXPECT_EQ(ring.HasFree(), out < count) << count << " " << n;
            if (!ring.HasFree())
                take_back();
            Batch& batch = ring.Acquire();
            if (n >= static_cast<int>(count)) {
                EXPECT_EQ(&batch, given[n - count]) << count << " " << n;
            }
            given.push_back(&batch);
            batch.number = n;
            ring.Submit();
        }
        while (ring.HasSubmitted())
            take_back();
        EXPECT_EQ(taken_back, kBatches) << count;
        EXPECT_TRUE(ring.HasFree()) << count;
    }
}

}  // namespace
}  // namespace velmora
