#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <fstream>

#include "tests/engine_fixture.h"
#include "tests/folder_link.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Another program with write access to the folder renames, links and mounts
// while a run works; the file-system seam pauses the run right before the
// chosen operation on the chosen entry and plays that program there. Each
// race must leave everything outside the named folder (or the restored
// folder) as it was, and every original byte either in its place or in a
// container that gives it back.
class RaceTest : public EngineFixture {
  protected:
    void SetUp() override {
        temp.Write("T/a.txt", "uno");
        temp.Write("T/sub/b.bin", std::string(70000, 'b'));
        temp.Write("T/sub/c.txt", "tres");
        // Outside: a decoy of the same shape and sizes, what a link would
        // lead to.
        temp.Write("fuera/a.txt", "UNO");
        temp.Write("fuera/sub/b.bin", std::string(70000, 'X'));
        temp.Write("fuera/sub/c.txt", "TRES");
        temp.Write("fuera/b.bin", std::string(70000, 'X'));
        temp.Write("fuera/c.txt", "TRES");
        // And an empty one, where nothing of a restore's names already is.
        temp.MakeFolder("fuera/vacia");
        outside_before = Snapshot(temp.native + "/fuera");
    }

    void SwapForLink(const std::string& relative, const std::string& moved_to,
                     const std::string& target) {
        fs::rename(temp.native + "/" + relative, temp.native + "/" + moved_to);
        FolderLink(fs::path(temp.native) / target, fs::path(temp.native) / relative, true);
    }

    // What the kept container gives back, restored beside it in "check"
    // (what the race armed has run by then).
    std::string Restored(const std::string& relative) {
        if (!temp.Exists("check/T")) {
            fs::create_directories(temp.native + "/check");
            fs::copy_file(temp.native + "/T.zol", temp.native + "/check/T.zol");
            EXPECT_EQ(Decode("check\\T.zol", {.keep_container = true}).outcome, Outcome::kDone);
        }
        return temp.Read("check/T/" + relative);
    }

    void ExpectOutsideUntouched(const std::string& what) {
        EXPECT_EQ(Snapshot(temp.native + "/fuera"), outside_before) << what;
    }

    TreeSnapshot outside_before;
};

TEST_F(RaceTest, EncodingPacksAndWipesOnlyTheTreeTheScanSaw) {
    struct Race {
        const char* what;
        const char* before;  // the operation paused at ("" for the wipe's start)
        const char* suffix;
        std::string swapped;  // moved away, a link to `target` put in its place
        const char* target;
        bool put_back;  // the swap undone before the wipe
        // Where the real content of sub/b.bin is afterwards: "" in the
        // container, or a path left as it was.
        std::string original_kept_at;
    };
    const std::vector<Race> races = {
        {"inner folder swapped for a link to a decoy while packing, put back before the wipe",
         "open", "\\sub\\b.bin", "T/sub", "fuera/sub", true, ""},
        {"inner folder swapped for a link right before the scan opens it", "open folder",
         "\\T\\sub", "T/sub", "fuera", false, "sub-real/b.bin"},
        {"inner folder swapped for a link right before the scan lists it", "list", "\\T\\sub",
         "T/sub", "fuera", false, ""},
        {"named folder swapped for a link right before the wipe", "", "", "T", "fuera", false, ""},
        {"inner folder swapped for a link between its overwrites and its deletes", "sync", "\\T",
         "T/sub", "fuera", false, ""},
        {"named folder swapped for a link while its folders are removed", "remove folder",
         "\\T\\sub", "T", "fuera", false, ""},
    };
    for (const Race& race : races) {
        SetUp();
        const std::string moved = race.swapped == "T" ? "T-movida" : "sub-real";
        auto swap = [&] { SwapForLink(race.swapped, moved, race.target); };
        if (*race.before)
            ChangeBefore(race.before, race.suffix, swap);
        else
            before_wipe = [&](const FoundList&) {
                swap();
                changed = true;
            };
        if (race.put_back)
            before_wipe = [&](const FoundList&) {
                FolderLink({}, fs::path(temp.native) / race.swapped, false);
                fs::rename(temp.native + "/" + moved, temp.native + "/" + race.swapped);
            };
        const RunResult result = Encode("T", {.report_leftovers = true});
        EXPECT_TRUE(changed) << race.what;
        ExpectOutsideUntouched(race.what);
        if (race.original_kept_at.empty()) {
            ASSERT_EQ(result.outcome, Outcome::kDone) << race.what;
            EXPECT_EQ(Restored("SUB/B.BIN"), std::string(70000, 'b')) << race.what;
            EXPECT_EQ(Restored("A.TXT"), "uno") << race.what;
        } else {
            EXPECT_NE(result.outcome, Outcome::kDone) << race.what;
            EXPECT_EQ(temp.Read(race.original_kept_at), std::string(70000, 'b')) << race.what;
            EXPECT_FALSE(temp.Exists("T.zol")) << race.what;
        }
        Fresh();
        fs::permissions(temp.native, fs::perms::owner_all, fs::perm_options::add);
        for (const char* left : {"T", "T.zol", "check", "sub-real", "T-movida", "fuera"})
            FolderLink({}, fs::path(temp.native) / left, false);
    }
    std::printf("races while encoding: %zu swaps, nothing outside touched, nothing lost\n",
                races.size());
}

// A file another program writes to after its overwrite, while the batch is
// flushed, keeps what was written: its delete sees a changed file.
TEST_F(RaceTest, AFileWrittenDuringTheFlushIsKeptAndNamed) {
    ChangeBefore("sync", "\\T",
                 [&] { std::ofstream(temp.native + "/T/a.txt", std::ios::app) << "nuevo"; });
    const RunResult result = Encode("T", {.report_leftovers = true});
    EXPECT_TRUE(changed);
    EXPECT_EQ(result.outcome, Outcome::kDone);
    EXPECT_TRUE(result.left_behind);
    EXPECT_EQ(temp.Read("T/a.txt"), "\xFF\xFF\xFFnuevo");
    EXPECT_FALSE(temp.Exists("T/sub/b.bin"));
    ASSERT_FALSE(host.messages.empty());
    EXPECT_NE(host.messages.back().find("a.txt"), std::string::npos);
}

// Where the run may mount: an inner folder replaced by a bind mount of a
// folder outside, after the container is complete.
#ifndef _WIN32  // Windows mounts no folder for an account without administrator rights
TEST_F(RaceTest, ABindMountMadeBeforeTheWipeIsNotEntered) {
    bool mounted = false;
    before_wipe = [&](const FoundList&) {
        fs::rename(temp.native + "/T/sub", temp.native + "/sub-real");
        fs::create_directory(temp.native + "/T/sub");
        mounted = mount((temp.native + "/fuera").c_str(), (temp.native + "/T/sub").c_str(), nullptr,
                        MS_BIND, nullptr) == 0;
    };
    const RunResult result = Encode("T", {.report_leftovers = true});
    if (!mounted)
        GTEST_SKIP() << "mounting needs privileges this run does not have";
    umount2((temp.native + "/T/sub").c_str(), MNT_DETACH);
    EXPECT_EQ(result.outcome, Outcome::kDone);
    ExpectOutsideUntouched("bind mount");
    EXPECT_EQ(Restored("SUB/C.TXT"), "tres");
}
#endif

TEST_F(RaceTest, RestoringWritesOnlyIntoTheFoldersItMade) {
    fs::copy(temp.native + "/T", temp.native + "/S", fs::copy_options::recursive);
    ASSERT_EQ(Encode("T").outcome, Outcome::kDone);
    ASSERT_EQ(Seal("S").outcome, Outcome::kDone);
    struct Race {
        const char* what;
        std::string container;
        std::string operation;
        std::string suffix;
        std::string swapped;  // inside the staging folder; "" for itself
    };
    const std::string legacy = StagingName("T.zol");
    const std::vector<Race> races = {
        {"staged subfolder swapped for a link before its files", "T", "create", "\\SUB\\B.BIN",
         "/SUB"},
        {"staged subfolder swapped for a link before the flush", "T", "sync", "\\" + legacy,
         "/SUB"},
        {"staging folder swapped for a link before the flush", "T", "sync", "\\" + legacy, ""},
        {"sealed: staged subfolder swapped for a link before its files", "S", "create",
         "\\sub\\b.bin", "/sub"},
    };
    for (const Race& race : races) {
        const std::string staging = StagingName(race.container + ".zol");
        const auto container = ContainerBytes(race.container + ".zol");
        Fresh();
        ChangeBefore(race.operation, race.suffix,
                     [&] { SwapForLink(staging + race.swapped, "movida", "fuera/vacia"); });
        const RunResult result =
            race.container == "S" ? Unseal("S.zol") : Decode(race.container + ".zol");
        EXPECT_TRUE(changed) << race.what;
        EXPECT_EQ(result.outcome, Outcome::kFailed) << race.what;
        ExpectOutsideUntouched(race.what);
        EXPECT_EQ(ContainerBytes(race.container + ".zol"), container) << race.what;
        // Nothing published, the entry named, and nothing readable left
        // staged (at most the intruder's link, which the seam never deletes).
        EXPECT_FALSE(temp.Exists(race.container)) << race.what;
        if (const fs::path left_staged = temp.native + "/" + staging;
            fs::exists(left_staged) && !IsLink(left_staged)) {
            for (auto left = fs::recursive_directory_iterator(left_staged);
                 left != fs::recursive_directory_iterator(); ++left) {
                EXPECT_TRUE(IsLink(left->path())) << race.what << ": " << left->path();
                left.disable_recursion_pending();
            }
        }
        ASSERT_FALSE(host.messages.empty()) << race.what;
        const std::string named = race.swapped.empty() ? race.container : race.swapped.substr(1);
        EXPECT_NE(host.messages.back().find(named), std::string::npos)
            << race.what << ": " << host.messages.back();
        for (const std::string left : {"movida", staging.c_str()})
            FolderLink({}, fs::path(temp.native) / left, false);
    }
    std::printf("races while restoring: %zu swaps, nothing written outside, container kept\n",
                races.size());
}

// Another program changes the container: before the decode, or while it
// pauses before its end. The same name comes to hold a new container
// (decoded again elsewhere and the folder encoded anew), a copier holds it
// open for writing or appends to it. Nothing is deleted; one still being
// written is refused before anything is made or published, and named.
#ifndef _WIN32  // the writer held open is a POSIX descriptor
TEST_F(RaceTest, TheContainerDeletedIsTheOneThatWasRead) {
    ASSERT_EQ(Encode("T").outcome, Outcome::kDone);
    const std::string container = temp.Read("T.zol");
    const std::string named = temp.native + "/T.zol";
    int writer = -1;
    auto open_for_writing = [&] { writer = open(named.c_str(), O_WRONLY | O_CLOEXEC); };
    auto append = [&] { std::ofstream(named, std::ios::app) << "más"; };
    struct Race {
        const char* what;
        const char* before;  // the operation paused at ("" before the decode)
        std::function<void()> change;
        Outcome outcome;
        const char* told;  // part of the message
        std::string left;  // what T.zol holds afterwards
    };
    const std::vector<Race> races = {
        {"a new container under its name", "sync",
         [&] {
             temp.Write("nuevo.zol", "otro contenedor");
             fs::rename(temp.native + "/nuevo.zol", named);
         },
         Outcome::kFailed, "ha cambiado", "otro contenedor"},
        {"held open for writing from the start", "", open_for_writing, Outcome::kRefused,
         "escribiendo", container},
        {"opened for writing before its end", "sync", open_for_writing, Outcome::kFailed,
         "escribiendo", container},
        {"appended to before its end", "sync", append, Outcome::kFailed, "escribiendo",
         container + "más"},
    };
    for (const Race& race : races) {
        if (*race.before)
            ChangeBefore(race.before, "\\" + StagingName("T.zol"), race.change);
        else
            race.change();
        const RunResult result = Decode("T.zol");
        EXPECT_TRUE(changed || !*race.before) << race.what;
        EXPECT_EQ(result.outcome, race.outcome) << race.what;
        EXPECT_NE(result.message.find(race.told), std::string::npos) << race.what;
        EXPECT_EQ(temp.Read("T.zol"), race.left) << race.what;
        // Only a container replaced under its name is seen after the tree
        // took its name; one still being written publishes nothing.
        const bool replaced = std::string(race.told) == "ha cambiado";
        EXPECT_EQ(fs::exists(temp.native + "/T"), replaced) << race.what;
        files.before = nullptr;
        if (writer >= 0)
            close(writer);
        writer = -1;
        fs::remove_all(temp.native + "/T");
        temp.Write("T.zol", container);
    }
}
#endif

// One run per tree: a second encode of a folder being encoded, an encode of
// a folder being restored, and a second decode of a container being
// decoded are refused with their message, touching nothing.
TEST_F(RaceTest, ASecondRunOnTheSameTreeIsRefused) {
    // Another run on `path`, with its own engine: refused, and told why.
    int second_runs = 0;
    auto second_run = [&](bool decode, const std::string& path) {
        ++second_runs;
        RecordingFileSystem other;
        CancelToken other_cancel;
        TestHost other_host(other, other_cancel);
        Engine engine(other, other_host, tables, clock, other_cancel);
        const EngineRequest request{
            .path = Path(path), .key = key, .options = {.container_folder = temp.path + "\\fuera"}};
        EXPECT_EQ((decode ? engine.Des_carpeta(request) : engine.Hacelo(request)).outcome,
                  Outcome::kRefused)
            << path;
        ASSERT_EQ(other_host.messages.size(), 1u) << path;
        EXPECT_NE(other_host.messages[0].find("otro proceso"), std::string::npos) << path;
    };
    before_wipe = [&](const FoundList&) { second_run(false, "T"); };
    ASSERT_EQ(Encode("T").outcome, Outcome::kDone);
    EXPECT_EQ(Restored("SUB/B.BIN"), std::string(70000, 'b'));
    before_wipe = nullptr;

    ChangeBefore("sync", "\\" + StagingName("T.zol"), [&] {
        second_run(false, StagingName("T.zol"));
        second_run(true, "T.zol");
    });
    EXPECT_EQ(Decode("T.zol").outcome, Outcome::kDone);
    EXPECT_EQ(temp.Read("T/SUB/C.TXT"), "tres");
    EXPECT_EQ(second_runs, 3);
    ExpectOutsideUntouched("second runs");
}

// A partial container nobody holds (the close box or a crash left it) is
// removed by the next encode, which says so; one a running writer holds
// stays, and the encode writes beside it.
#ifndef _WIN32  // the writer's lock is a POSIX flock
TEST_F(RaceTest, OnlyAnAbandonedPartialContainerIsRemoved) {
    temp.Write("T.zol.parcial", "a medias");
    ASSERT_EQ(Encode("T", {.keep_originals = true}).outcome, Outcome::kDone);
    EXPECT_FALSE(temp.Exists("T.zol.parcial"));
    ExpectSaidOnce("T.zol.parcial");
    fs::remove(temp.native + "/T.zol");

    temp.Write("T.zol.parcial", "escribiéndose");
    const int writer = open((temp.native + "/T.zol.parcial").c_str(), O_RDONLY);
    ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    ChangeBefore("create", "T.zol.parcial2",
                 [&] { EXPECT_EQ(temp.Read("T.zol.parcial"), "escribiéndose"); });
    host = TestHost(files, cancel);
    EXPECT_EQ(Encode("T", {.keep_originals = true}).outcome, Outcome::kDone);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(temp.Read("T.zol.parcial"), "escribiéndose");
    close(writer);
}
#endif

}  // namespace
}  // namespace velmora
