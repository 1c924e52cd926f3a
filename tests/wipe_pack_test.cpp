#include <cerrno>
#include <filesystem>

#include "container/wipe_record.h"
#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The pack and the wipe of one folder, with another program or the disk
// stepping in at the moment each case names.
class WipePackTest : public EngineFixture {
  protected:
    void MakeTree() {
        temp.Remove({"W", "W.zol"});
        temp.Write("W/a.txt", "uno");
        temp.Write("W/grande.bin", std::string(3 << 20, 'g'));  // read in several pieces
        temp.Write("W/sub/b.txt", "dos");
        Fresh();
    }
};

// A file that is not, from before its first byte is read to after its last,
// the one the scan saw fails the encode before anything is wiped.
TEST_F(WipePackTest, AFileChangedBetweenTheScanAndItsLastByteIsNeverPacked) {
    struct Case {
        const char* what;
        const char* operation;  // the moment of the change
        const char* name;
        std::ios::openmode how;  // rewritten whole or grown
    };
    const Case cases[] = {
        {"rewritten before it is opened", "open", "\\grande.bin", std::ios::trunc},
        {"rewritten while it is read", "write", ".parcial", std::ios::in},
        {"grown while it is read", "write", ".parcial", std::ios::app},
    };
    for (const Case& c : cases) {
        MakeTree();
        ChangeBefore(c.operation, c.name, [&] {
            std::ofstream(temp.native + "/W/grande.bin", std::ios::binary | c.how) << "cambio";
        });
        EXPECT_EQ(Encode("W").outcome, Outcome::kFailed) << c.what;
        ASSERT_EQ(host.messages.size(), 1u) << c.what;
        EXPECT_NE(host.messages[0].find("grande.bin"), std::string::npos) << c.what;
        EXPECT_NE(host.messages[0].find("mientras se codificaba"), std::string::npos) << c.what;
        EXPECT_EQ(temp.Read("W/a.txt") + temp.Read("W/sub/b.txt"), "unodos") << c.what;
        EXPECT_FALSE(temp.Exists("W.zol") || temp.Exists("W.zol.parcial")) << c.what;
    }
}

// The wipe does not touch an original before its record is on disk beside
// the complete container.
TEST_F(WipePackTest, WithoutItsRecordTheWipeTouchesNothing) {
    const std::vector<std::pair<const char*, std::function<void()>>> faults = {
        {"the record cannot be made",
         [&] { files.fail.open[Path(WipeRecordName("W.zol"))] = EACCES; }},
        {"the record cannot be flushed", [&] { files.fail.flush = true; }},
    };
    for (const auto& [what, inject] : faults) {
        MakeTree();
        const TreeSnapshot before = Snapshot(temp.native + "/W");
        before_wipe = [&](const FoundList&) { inject(); };
        EXPECT_EQ(Encode("W").outcome, Outcome::kFailed) << what;
        EXPECT_EQ(host.messages.size(), 1u) << what;
        EXPECT_EQ(Snapshot(temp.native + "/W"), before) << what;
        EXPECT_TRUE(temp.Exists("W.zol")) << what;
        EXPECT_FALSE(temp.Exists(WipeRecordName("W.zol"))) << what;
    }
}

// What the wipe meets between the pack and its own step: it goes on past
// each, tells what it must, and leaves only what it says it leaves.
TEST_F(WipePackTest, TheWipeGoesOnPastWhatItMeetsAndSaysWhatStays) {
    struct Case {
        const char* what;
        std::function<void()> on_wipe;
        std::size_t messages;
        const char* last_says;  // "" for none
        bool left_behind;
    };
    const Case cases[] = {
        {"a file deleted meanwhile", [&] { fs::remove(temp.native + "/W/a.txt"); }, 0, "", false},
        {"a write of the overwrite fails",
         [&] { files.fail.write_path = "\\a.txt", files.fail.write_errno = EIO; }, 1,
         "solo en parte", false},
        {"twelve files changed meanwhile",
         [&] {
             for (int i = 0; i < 12; ++i)
                 temp.Write("W/sub/b.txt" + std::to_string(i), "otro");
         },
         13, "...", true},
    };
    for (const Case& c : cases) {
        MakeTree();
        for (int i = 0; i < 12; ++i)
            temp.Write("W/sub/b.txt" + std::to_string(i), "seis");
        before_wipe = [&](const FoundList&) { c.on_wipe(); };
        const RunResult result = Encode("W", {.report_leftovers = true});
        EXPECT_EQ(result.outcome, Outcome::kDone) << c.what;
        EXPECT_EQ(result.left_behind, c.left_behind) << c.what;
        ASSERT_EQ(host.messages.size(), c.messages) << c.what;
        if (c.messages > 0) {
            EXPECT_NE(host.messages.back().find(c.last_says), std::string::npos) << c.what;
        }
        EXPECT_EQ(temp.Exists("W"), c.left_behind) << c.what;
    }
}

}  // namespace
}  // namespace velmora
