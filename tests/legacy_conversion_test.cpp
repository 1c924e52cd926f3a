#include <filesystem>
#include <fstream>

#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class LegacyConversionTest : public EngineFixture {
  protected:
    // A tree of mixed-case and accented names (UTF-8 on disk), a file above
    // 64 KiB, an empty file and folder, a folder holding only a folder.
    void MakeTree(const std::string& root) {
        temp.Write(root + "/Señor Ñandú/Carta.Txt", "Querido amigo");
        temp.Write(root + "/Señor Ñandú/Sub/Mixto.BIN", "m");
        std::string big(200000, '\0');
        for (std::size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<char>(i * 31 % 251);
        temp.Write(root + "/Grande.Bin", big);
        temp.Write(root + "/vacío.txt", "");
        temp.MakeFolder(root + "/Sola/Dentro");
        temp.MakeFolder(root + "/Época");
    }

    // As velmora-cli converts: the container's path in UTF-8, as the
    // sealed kind's paths are.
    RunResult Convert(const std::string& container, EngineOptions options = {}) {
        files.SetNameCoding(NameCoding::kUtf8);
        options.sealed_parameters = kFastParameters;
        return Run(&Engine::Convert,
                   {.path = Path(container), .key = key, .password = password, .options = options});
    }

    // Restores a sealed container with its password.
    RunResult Unseal(const std::string& container) {
        files.SetNameCoding(NameCoding::kUtf8);
        host = TestHost(files, cancel);
        return EngineFixture::Unseal(container);
    }
};

// Two names equal but for case: both restored where case counts, refused
// before anything is made where the system ignores it.
TEST_F(LegacyConversionTest, NamesEqualButForCaseAreRefusedWhereCaseIsIgnored) {
    WriteLegacyContainer("C.zol",
                         {{"\\Cartas\\Mixto.TXT", 3}, {"\\cartas\\mixto.txt", 4}, {"\\uno", 1}});

    files.ignores_case = true;
    ExpectNothingTouched("case ignored", [&] {
        return Decode("C.zol", {.keep_container = true, .original_case = true});
    });
    ExpectSaidOnce("\\Cartas\xBB y \xAB\\cartas");

    files.ignores_case = false;
    ASSERT_EQ(Decode("C.zol", {.original_case = true}).outcome, Outcome::kDone);
    EXPECT_EQ(temp.Read("C/Cartas/Mixto.TXT"), "ddd");
    EXPECT_EQ(temp.Read("C/cartas/mixto.txt"), "dddd");
}

// Legacy to sealed and back: the original tree with the names as they
// were stored, the attributes the records keep with the permission bits
// they give (ConvertedIndexTest), and the legacy container's time; the legacy
// container, read-only, is gone all the same and nothing else is left
// beside the sealed one, which is not converted again.
TEST_F(LegacyConversionTest, AConvertedContainerRestoresTheOriginalTree) {
    MakeTree("T");
    ASSERT_TRUE(files.SetAttr(Path("T\\Grande.Bin"), kReadOnly).ok());
    // Hidden below the top level: the walk resets only top-level entries.
    ASSERT_TRUE(files.SetAttr(Path("T\\Sola\\Dentro"), kHidden).ok());
    const TreeSnapshot original = Snapshot(temp.native + "/T");
    EncodeAway("T");
    ASSERT_TRUE(files.SetAttr(Path("T.zol"), kReadOnly).ok());
    const fs::file_time_type legacy = fs::last_write_time(temp.native + "/T.zol");

    ASSERT_EQ(Convert("T.zol").outcome, Outcome::kDone) << ::testing::PrintToString(host.messages);
    EXPECT_TRUE(host.messages.empty()) << ::testing::PrintToString(host.messages);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.native), fs::directory_iterator()), 1);
    // Sealed: Unseal finds its keys only in a sealed header.
    ExpectNothingTouched("sealed", [&] { return Convert("T.zol"); });

    ASSERT_EQ(Unseal("T.zol").outcome, Outcome::kDone) << ::testing::PrintToString(host.messages);
    EXPECT_EQ(Snapshot(temp.native + "/T"), original);
    EXPECT_FALSE(temp.Exists("T.zol"));
    for (const char* restored : {"T/Grande.Bin", "T/Sola/Dentro"})
        EXPECT_EQ(fs::last_write_time(temp.native + "/" + restored), legacy) << restored;
}

// Until the sealed container has the name, any failure leaves the legacy
// container as it was, under its name, and nothing beside it.
TEST_F(LegacyConversionTest, FailuresBeforeTheSwapLeaveTheLegacyContainer) {
    MakeTree("T");
    EncodeAway("T");
    struct Fault {
        const char* what;
        std::function<void()> inject;
        Outcome outcome = Outcome::kFailed;
    };
    const std::vector<Fault> faults = {
        {"disk full writing the sealed container",
         [&] { files.fail.write_path = ".convirtiendo", files.fail.write_errno = ENOSPC; }},
        {"the sealed container's flush fails", [&] { files.fail.flush = true; }},
        {"the sealed container reads back wrong",
         [&] {
             ChangeBefore("read back", ".convirtiendo",
                          [&] { FlipByteFromEnd(temp.native + "/T.zol.convirtiendo", 20); });
         }},
        {"no rename", [&] { files.fail.rename = true; }},
        {"the folder is read-only", [&] { files.fail.open[Path("T.zol.convirtiendo")] = EROFS; }},
        {"the wrong key", [&] { key = DeriveKey("otra").value(); }, Outcome::kRefused},
    };
    for (const Fault& fault : faults) {
        Fresh();
        key = DeriveKey("secreto").value();
        fault.inject();
        ExpectNothingTouched(
            fault.what, [&] { return Convert("T.zol"); }, fault.outcome);
    }
    std::printf("fault injection while converting: %zu faults, legacy container intact in all\n",
                faults.size());

    // "Cancelar" while the legacy data is read into the sealed container.
    Fresh();
    key = DeriveKey("secreto").value();
    const TreeSnapshot before = Snapshot(temp.native);
    host.on_pump = [&](int) {
        if (!cancel.requested() && temp.Exists("T.zol.convirtiendo"))
            host.PressCancelar();
    };
    EXPECT_THROW(Convert("T.zol"), ProgramEnded);
    EXPECT_TRUE(cancel.requested());
    EXPECT_EQ(Snapshot(temp.native), before);
}

// Another program at the moments the names change hands: a container put
// under the name meanwhile stays, and the legacy one is kept under the name
// it has; a legacy container changed before its overwrite is left as it is.
TEST_F(LegacyConversionTest, ChangesByOthersWhileTheNamesChangeLoseNothing) {
    MakeTree("T");
    EncodeAway("T");
    const std::string legacy = temp.Read("T.zol");
    temp.Write("T.zol.antiguo", "ajeno");  // taken: the next numbered name is used
    ChangeBefore("rename", "T.zol.convirtiendo", [&] { temp.Write("T.zol", "de otro programa"); });
    EXPECT_EQ(Convert("T.zol").outcome, Outcome::kFailed);
    ExpectSaidOnce("T.zol.antiguo2");
    EXPECT_EQ(temp.Read("T.zol"), "de otro programa");
    EXPECT_EQ(temp.Read("T.zol.antiguo2"), legacy);
    EXPECT_EQ(temp.Read("T.zol.antiguo"), "ajeno");
    EXPECT_FALSE(temp.Exists("T.zol.convirtiendo"));

    temp.Remove({"T.zol", "T.zol.antiguo"});
    fs::rename(temp.native + "/T.zol.antiguo2", temp.native + "/T.zol");
    host = TestHost(files, cancel);
    ChangeBefore("open to write", "T.zol.antiguo", [&] {
        std::ofstream(temp.native + "/T.zol.antiguo", std::ios::app) << "m\xC3\xA1s";
    });
    const RunResult result = Convert("T.zol");
    EXPECT_EQ(result.outcome, Outcome::kDone);
    EXPECT_TRUE(result.left_behind);
    ExpectSaidOnce("T.zol.antiguo");
    EXPECT_EQ(temp.Read("T.zol.antiguo"), legacy + "m\xC3\xA1s");
    files.before = nullptr;
    EXPECT_EQ(Unseal("T.zol").outcome, Outcome::kDone);
}

// What a conversion killed after its first rename leaves goes with the next
// run on the container, said once: the legacy one gets its name back (the
// unfinished sealed one removed), or, beside the sealed one, is overwritten
// and removed; a file of another program under that name stays.
TEST_F(LegacyConversionTest, AKilledConversionsLeftoversGoWithTheNextRun) {
    MakeTree("T");
    EncodeAway("T");
    const std::string legacy = temp.Read("T.zol");
    ASSERT_EQ(Convert("T.zol").outcome, Outcome::kDone);
    fs::rename(temp.native + "/T.zol", temp.native + "/T.zol.convirtiendo");
    temp.Write("T.zol.antiguo", legacy);
    host = TestHost(files, cancel);
    ASSERT_EQ(Convert("T.zol").outcome, Outcome::kDone) << ::testing::PrintToString(host.messages);
    ExpectSaidOnce("T.zol.convirtiendo");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.native), fs::directory_iterator()), 1);

    const std::string sealed = temp.Read("T.zol");
    const std::string half_overwritten = std::string(100, '\xFF') + legacy.substr(100);
    for (const std::string& left : {half_overwritten, std::string("de otro programa")}) {
        const bool ours = left == half_overwritten;
        fs::remove_all(temp.native + "/T");
        temp.Write("T.zol", sealed);
        temp.Write("T.zol.antiguo", left);
        ASSERT_EQ(Unseal("T.zol").outcome, Outcome::kDone);
        ASSERT_EQ(host.messages.size(), ours ? 1u : 0u);
        EXPECT_EQ(temp.Exists("T.zol.antiguo"), !ours);
    }
}

}  // namespace
}  // namespace velmora
