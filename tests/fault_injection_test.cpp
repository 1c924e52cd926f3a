#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "container/wipe_record.h"
#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Failures of the disk injected through the platform seam, while encoding and
// while decoding, and another program stepping in at the moment each case
// names. Each must end the run with one message and lose nothing: the
// originals while encoding, the container while decoding.
class FaultInjectionTest : public EngineFixture {
  protected:
    void MakeTree() {
        temp.Remove({"T", "T.zol", "fuera"});
        temp.Write("T/a.txt", "uno");
        // Past the 1 MiB the container is written in: still being read when
        // the container's first bytes are written.
        temp.Write("T/sub/b.bin", std::string(3 << 20, 'b'));
        temp.Write("T/sub/c.txt", "tres");
        // Hidden folder (18): the walk resets it, but only once the
        // container is complete.
        temp.Write("T/oculta/d.txt", "cuatro");
        ASSERT_TRUE(files.SetAttr(Path("T\\oculta"), kHidden).ok());
        Fresh();
    }
};

TEST_F(FaultInjectionTest, FailuresLeaveTheOriginalsOrTheContainer) {
    struct Fault {
        const char* what;
        bool decoding;
        std::function<void()> inject;
        Outcome outcome = Outcome::kFailed;
    };
    const std::vector<Fault> faults = {
        {"disk full writing the container", false,
         [&] { files.fail.write_path = "T.zol", files.fail.write_errno = ENOSPC; }},
        {"the container's flush fails", false, [&] { files.fail.flush = true; }},
        {"a file cannot be opened", false,
         [&] { files.fail.open[Path("T\\sub\\c.txt")] = EACCES; }},
        {"the target folder is read-only", false,
         [&] { files.fail.open[Path("T.zol.parcial")] = EROFS; }},
        {"the finished container cannot take its name", false, [&] { files.fail.rename = true; }},
        {"disk full writing a file", true,
         [&] { files.fail.write_path = "\\SUB\\", files.fail.write_errno = ENOSPC; }},
        {"flushing the restored tree fails", true, [&] { files.fail.sync = true; }},
        {"the container cannot be opened", true, [&] { files.fail.open[Path("T.zol")] = EACCES; },
         Outcome::kRefused},
        {"a restored file cannot be created", true,
         [&] { files.fail.open[Path(StagingName("T.zol") + "\\SUB\\B.BIN")] = EACCES; }},
    };
    for (const Fault& fault : faults) {
        MakeTree();
        if (fault.decoding) {
            ASSERT_EQ(Encode("T").outcome, Outcome::kDone) << fault.what;
        }
        fault.inject();
        ExpectNothingTouched(
            fault.what, [&] { return fault.decoding ? Decode("T.zol") : Encode("T"); },
            fault.outcome);
    }
    const auto decoding = static_cast<std::size_t>(
        std::count_if(faults.begin(), faults.end(), [](const Fault& f) { return f.decoding; }));
    std::printf("fault injection while encoding: %zu faults, originals intact in all\n",
                faults.size() - decoding);
    std::printf("fault injection while decoding: %zu faults, container intact in all\n", decoding);
}

// A batch whose flush fails is not deleted: its overwrites may not be on
// disk. Its files stay, named; the rest of the wipe goes on.
TEST_F(FaultInjectionTest, AFailedBatchFlushKeepsItsFilesAndNamesThem) {
    MakeTree();
    files.before = [&, first = true](const std::string& operation, const std::string&) mutable {
        if (operation == "sync")
            files.fail.sync = std::exchange(first, false);  // the first flush fails
    };
    const RunResult result = Encode("T", {.report_leftovers = true, .wipe_batch_files = 2});
    EXPECT_EQ(result.outcome, Outcome::kDone);
    EXPECT_TRUE(result.left_behind);
    // The first batch (walk order: oculta's file, then sub's first) stays,
    // the others are gone.
    EXPECT_TRUE(temp.Exists("T/oculta/d.txt") && temp.Exists("T/sub/b.bin"));
    EXPECT_FALSE(temp.Exists("T/sub/c.txt") || temp.Exists("T/a.txt"));
    ASSERT_EQ(host.messages.size(), 3u);  // one per file kept, then what is left
    EXPECT_NE(host.messages[2].find("sub/b.bin"), std::string::npos);
}

// Another program changes the tree while it is wiped, or the disk fails it,
// at the two moments that matter: after the container is complete (before
// any overwrite), and between a batch's overwrites and its deletes. Whatever
// was not packed, or is no longer the file that was packed, must come
// through intact; the wipe goes on past each, says once for each file it
// leaves and then what stays, and leaves only what it says it leaves.
TEST_F(FaultInjectionTest, TheWipeDestroysOnlyWhatWasPackedGoesOnAndSaysWhatStays) {
    const std::string T = temp.native + "/T";
    const std::string outside = temp.native + "/fuera";
    auto write_and_rename = [&] {
        temp.Write("T/nuevo", "nuevo");
        fs::rename(T + "/nuevo", T + "/a.txt");
    };
    struct Case {
        const char* what;
        bool between_overwrite_and_delete;
        std::function<void()> change;
        std::size_t messages;
        const char* last_says;  // "" for none
        bool left_behind;
        std::string survivor;  // a file whose content must survive ("" for none)
        std::string content;
    };
    const std::vector<Case> cases = {
        {"rewritten in place, modification time put back", false,
         [&] {
             struct stat st;
             stat((T + "/a.txt").c_str(), &st);
             temp.Write("T/a.txt", "DOS");
             const struct timespec times[2] = {st.st_atim, st.st_mtim};
             utimensat(AT_FDCWD, (T + "/a.txt").c_str(), times, 0);
         },
         2, "T/a.txt", true, "T/a.txt", "DOS"},
        {"hard link made by a backup", false,
         [&] { fs::create_hard_link(T + "/a.txt", outside + "/copia"); }, 2, "T/a.txt", true,
         "fuera/copia", "uno"},
        {"saved by write-and-rename", false, write_and_rename, 2, "T/a.txt", true, "T/a.txt",
         "nuevo"},
        {"swapped for a link to a file outside", false,
         [&] {
             fs::remove(T + "/a.txt");
             fs::create_symlink(outside + "/a.txt", T + "/a.txt");
         },
         2, "T/a.txt", true, "fuera/a.txt", "de fuera"},
        {"saved by write-and-rename after its overwrite", true, write_and_rename, 2, "T/a.txt",
         true, "T/a.txt", "nuevo"},
        {"a file deleted meanwhile", false, [&] { fs::remove(T + "/a.txt"); }, 0, "", false},
        {"a write of the overwrite fails", false,
         [&] { files.fail.write_path = "\\a.txt", files.fail.write_errno = EIO; }, 1,
         "solo en parte", false},
        {"twelve files changed meanwhile", false,
         [&] {
             for (int i = 0; i < 12; ++i)
                 temp.Write("T/sub/c.txt" + std::to_string(i), "otro");
         },
         13, "...", true, "T/sub/c.txt0", "otro"},
    };
    for (const Case& c : cases) {
        MakeTree();
        temp.Write("fuera/a.txt", "de fuera");
        for (int i = 0; i < 12; ++i)
            temp.Write("T/sub/c.txt" + std::to_string(i), "seis");
        if (c.between_overwrite_and_delete)
            ChangeBefore("sync", "", c.change);  // the first batch's flush
        else
            before_wipe = [&](const FoundList&) {
                c.change();
                changed = true;
            };
        const RunResult result = Encode("T", {.report_leftovers = true});
        EXPECT_TRUE(changed) << c.what;
        EXPECT_EQ(result.outcome, Outcome::kDone) << c.what;
        EXPECT_EQ(result.left_behind, c.left_behind) << c.what;
        ASSERT_EQ(host.messages.size(), c.messages) << c.what;
        if (c.messages > 0) {
            EXPECT_NE(host.messages.back().find(c.last_says), std::string::npos) << c.what;
        }
        if (!c.survivor.empty()) {
            EXPECT_EQ(temp.Read(c.survivor), c.content) << c.what;
        }
        EXPECT_FALSE(temp.Exists("T/oculta/d.txt")) << c.what;  // the rest is wiped
        EXPECT_EQ(temp.Exists("T"), c.left_behind) << c.what;
    }
    std::printf(
        "races and faults during the wipe: %zu tried, nothing destroyed that was not "
        "packed\n",
        cases.size());
}

// A file that is not, from before its first byte is read to after its last,
// the one the scan saw fails the encode before anything is wiped.
TEST_F(FaultInjectionTest, AFileChangedBetweenTheScanAndItsLastByteIsNeverPacked) {
    struct Case {
        const char* what;
        const char* operation;  // the moment of the change
        const char* name;
        std::ios::openmode how;  // rewritten whole or grown
    };
    const Case cases[] = {
        {"rewritten before it is opened", "open", "\\sub\\b.bin", std::ios::trunc},
        {"rewritten while it is read", "write", ".parcial", std::ios::in},
        {"grown while it is read", "write", ".parcial", std::ios::app},
    };
    for (const Case& c : cases) {
        MakeTree();
        ChangeBefore(c.operation, c.name, [&] {
            std::ofstream(temp.native + "/T/sub/b.bin", std::ios::binary | c.how) << "cambio";
        });
        EXPECT_EQ(Encode("T").outcome, Outcome::kFailed) << c.what;
        ExpectSaidOnce("sub/b.bin\xBB ha cambiado mientras se codificaba", c.what);
        EXPECT_EQ(temp.Read("T/a.txt") + temp.Read("T/sub/c.txt"), "unotres") << c.what;
        EXPECT_FALSE(temp.Exists("T.zol") || temp.Exists("T.zol.parcial")) << c.what;
    }
}

// The wipe does not touch an original before its record is on disk beside
// the complete container.
TEST_F(FaultInjectionTest, WithoutItsRecordTheWipeTouchesNothing) {
    const std::vector<std::pair<const char*, std::function<void()>>> faults = {
        {"the record cannot be made",
         [&] { files.fail.open[Path(WipeRecordName("T.zol"))] = EACCES; }},
        {"the record cannot be flushed", [&] { files.fail.flush = true; }},
    };
    for (const auto& [what, inject] : faults) {
        MakeTree();
        // The walk resets the hidden folder before the wipe: done beforehand,
        // the snapshot shows the wipe alone.
        ASSERT_TRUE(files.SetAttr(Path("T\\oculta"), 0).ok());
        const TreeSnapshot before = Snapshot(temp.native + "/T");
        before_wipe = [&](const FoundList&) { inject(); };
        EXPECT_EQ(Encode("T").outcome, Outcome::kFailed) << what;
        EXPECT_EQ(host.messages.size(), 1u) << what;
        EXPECT_EQ(Snapshot(temp.native + "/T"), before) << what;
        EXPECT_TRUE(temp.Exists("T.zol")) << what;
        EXPECT_FALSE(temp.Exists(WipeRecordName("T.zol"))) << what;
    }
}

}  // namespace
}  // namespace velmora
