#include <cerrno>
#include <filesystem>

#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The restore of a sealed container through its staging folder.
class StagedRestoreTest : public EngineFixture {
  protected:
    StagedRestoreTest() {
        files.SetNameCoding(NameCoding::kUtf8);
        temp.Write("C/a/uno.txt", "uno");
        temp.Write("C/b.txt", "be");
        EXPECT_EQ(Seal("C", {.keep_originals = true}).outcome, Outcome::kDone);
    }
    fs::path Staging() const { return fs::path(temp.native) / StagingName("C.zol"); }
};

// A failure after the whole tree is made, before it has its name: what was
// made goes, the container stays, nothing else is touched.
TEST_F(StagedRestoreTest, AFailureBeforeTheTreeIsNamedRemovesWhatWasMade) {
    const TreeSnapshot before = Snapshot(temp.native);
    const fs::path made = Staging() / "a/uno.txt";
    const std::vector<std::pair<const char*, std::function<void()>>> faults = {
        {"an entry added", [&] { std::ofstream(Staging() / "a/otro") << "x"; }},
        {"a file removed", [&] { fs::remove(made); }},
        {"a file replaced",  // the one made kept alive elsewhere, so its inode is not reused
         [&] {
             fs::create_hard_link(made, temp.native + "/aparte");
             fs::remove(made), std::ofstream(made) << "uno";
         }},
        {"a folder replaced",
         [&] {
             fs::rename(Staging() / "a", Staging() / "x"), fs::create_directory(Staging() / "a");
         }},
        {"no free name", [&] { files.fail.folder_rename_errno = EEXIST; }},
        {"permissions refused", [&] { files.fail.details_errno = EPERM; }},
    };
    for (const auto& [what, fault] : faults) {
        fs::rename(temp.native + "/C", temp.native + "/antes");
        Fresh();
        ChangeBefore("sync", "", fault);  // the first flush: every entry is made
        EXPECT_EQ(Unseal("C.zol", {.keep_container = true}).outcome, Outcome::kFailed) << what;
        EXPECT_EQ(host.messages.size(), 1u) << what;
        temp.Remove({"aparte", "C"});
        fs::rename(temp.native + "/antes", temp.native + "/C");
        EXPECT_EQ(Snapshot(temp.native), before) << what;
    }
}

// What a killed restore left, holding a file it cannot prove its own (one
// linked elsewhere), is kept whole and named; the restore goes on beside it.
TEST_F(StagedRestoreTest, LeftoversOfAKilledRestoreHoldingALinkedFileAreKept) {
    fs::remove_all(temp.native + "/C");
    temp.Write(StagingName("C.zol") + "/d/resto", "resto");
    fs::create_hard_link(Staging() / "d/resto", temp.native + "/enlace");
    EXPECT_EQ(Unseal("C.zol", {.keep_container = true}).outcome, Outcome::kDone);
    EXPECT_EQ(temp.Read("C/a/uno.txt"), "uno");
    EXPECT_TRUE(fs::exists(Staging()));
    ExpectSaidOnce("Quedan restos");
    EXPECT_EQ(temp.Read("enlace"), "resto");
}

}  // namespace
}  // namespace velmora
