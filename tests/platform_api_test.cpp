#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/open_files.h"

namespace velmora {
namespace {

struct Opened {
    int descriptor;
    std::string path;
};

TEST(OpenFilesTest, NumbersAreNeverReusedAndCloseAllTakesEveryEntryInOrder) {
    OpenFiles<Opened> files;
    const int a = files.Add({10, "a"});
    const int b = files.Add({11, "b"});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    ASSERT_NE(files.Find(b), nullptr);
    EXPECT_EQ(files.Find(b)->path, "b");
    EXPECT_EQ(files.Find(3), nullptr);

    const std::optional<Opened> taken = files.Take(a);
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->descriptor, 10);
    EXPECT_EQ(files.Find(a), nullptr);
    EXPECT_FALSE(files.Take(a).has_value());  // closing twice is harmless
    // A stale number never reaches a file opened later.
    const int c = files.Add({12, "c"});
    EXPECT_NE(c, a);

    std::vector<int> closed;
    files.TakeAll([&](const Opened& entry) { closed.push_back(entry.descriptor); });
    EXPECT_EQ(closed, (std::vector<int>{11, 12}));
    EXPECT_EQ(files.Find(b), nullptr);
    EXPECT_EQ(files.Find(c), nullptr);
    EXPECT_EQ(files.Add({13, "d"}), c + 1);
    EXPECT_EQ(ShownNumber(7), "#7");
}

}  // namespace
}  // namespace velmora
