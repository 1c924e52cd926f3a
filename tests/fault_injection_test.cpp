#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Failures of the disk injected through the platform seam, while encoding and
// while decoding. Each must end the run with one message and lose nothing:
// the originals while encoding, the container while decoding.
class FaultInjectionTest : public EngineFixture {
  protected:
    void MakeTree() {
        temp.Remove({"T", "T.zol", "fuera"});
        temp.Write("T/a.txt", "uno");
        temp.Write("T/sub/b.bin", std::string(150000, 'b'));
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
    bool failed_once = false;
    files.fail.on_sync = [&] {
        files.fail.sync = !failed_once;
        failed_once = true;
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

// Another program changes the tree while it is wiped, at the two moments
// that matter: after the container is complete (before any overwrite), and
// between a batch's overwrites and its deletes. Whatever was not packed, or
// is no longer the file that was packed, must come through intact.
TEST_F(FaultInjectionTest, RacesDuringTheWipeDestroyOnlyWhatWasPacked) {
    const std::string T = temp.native + "/T";
    const std::string outside = temp.native + "/fuera";
    auto write_and_rename = [&] {
        temp.Write("T/nuevo", "nuevo");
        fs::rename(T + "/nuevo", T + "/a.txt");
    };
    struct Race {
        const char* what;
        bool between_overwrite_and_delete;
        std::function<void()> change;
        std::string survivor;  // the file whose content must survive
        std::string content;
    };
    const std::vector<Race> races = {
        {"rewritten in place, modification time put back", false,
         [&] {
             struct stat st;
             stat((T + "/a.txt").c_str(), &st);
             temp.Write("T/a.txt", "DOS");
             const struct timespec times[2] = {st.st_atim, st.st_mtim};
             utimensat(AT_FDCWD, (T + "/a.txt").c_str(), times, 0);
         },
         "T/a.txt", "DOS"},
        {"hard link made by a backup", false,
         [&] { fs::create_hard_link(T + "/a.txt", outside + "/copia"); }, "fuera/copia", "uno"},
        {"saved by write-and-rename", false, write_and_rename, "T/a.txt", "nuevo"},
        {"swapped for a link to a file outside", false,
         [&] {
             fs::remove(T + "/a.txt");
             fs::create_symlink(outside + "/a.txt", T + "/a.txt");
         },
         "fuera/a.txt", "de fuera"},
        {"saved by write-and-rename after its overwrite", true, write_and_rename, "T/a.txt",
         "nuevo"},
    };
    for (const Race& race : races) {
        MakeTree();
        temp.Write("fuera/a.txt", "de fuera");
        if (race.between_overwrite_and_delete)
            ChangeBefore("sync", "", race.change);  // the first batch's flush
        else
            before_wipe = [&](const FoundList&) {
                race.change();
                changed = true;
            };
        const RunResult result = Encode("T", {.report_leftovers = true});
        EXPECT_TRUE(changed) << race.what;
        EXPECT_EQ(result.outcome, Outcome::kDone) << race.what;
        EXPECT_TRUE(result.left_behind) << race.what;
        EXPECT_FALSE(host.messages.empty()) << race.what;
        EXPECT_EQ(temp.Read(race.survivor), race.content) << race.what;
        EXPECT_FALSE(temp.Exists("T/oculta/d.txt")) << race.what;  // the rest is wiped
    }
    std::printf("races during the wipe: %zu tried, nothing destroyed that was not packed\n",
                races.size());
}

}  // namespace
}  // namespace velmora
