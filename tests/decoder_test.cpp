#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "container/legacy/container_format.h"
#include "container/legacy/stored_names.h"
#include "container/sealed/sealed_format.h"
#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

using DecoderTest = EngineFixture;

TEST_F(DecoderTest, RoundTripRestoresEveryFileUpperCasedWithFolderAttributes) {
    // What each file must hold once restored, under its upper-cased name.
    std::map<std::string, std::string> restored = {{"Datos/.OCULTO", "oculto"},
                                                   {"Datos/SE\xC3\x91OR/CARTA.TXT", "Querido"}};
    temp.Write("Datos/.oculto", "oculto");
    temp.Write("Datos/se\xC3\xB1or/carta.txt", "Querido");
    for (const std::size_t size : {0, 1, 65535, 65536, 65537, 131072, 131073, 200000}) {
        std::string content(size, '\0');
        for (std::size_t b = 0; b < size; ++b)
            content[b] = char((b * 7 + size) % 251);
        temp.Write("Datos/sub/f" + std::to_string(size) + ".bin", content);
        restored["Datos/SUB/F" + std::to_string(size) + ".BIN"] = content;
    }
    temp.MakeFolder("Datos/vac\xC3\xADo");
    // Hidden below the top level: the walk resets only top-level entries.
    temp.Write("Datos/sub/escondida/x", "x");
    ASSERT_TRUE(files.SetAttr(Path("Datos\\sub\\escondida"), kHidden).ok());
    EncodeAway("Datos");

    ASSERT_EQ(Decode("Datos.zol").outcome, Outcome::kDone) << host.messages.at(0);
    EXPECT_FALSE(temp.Exists("Datos.zol"));
    for (const auto& [path, content] : restored)
        EXPECT_EQ(temp.Read(path), content) << path;
    EXPECT_TRUE(fs::is_directory(temp.native + "/Datos/VAC\xC3\x8DO"));
    EXPECT_EQ(files.GetAttr(Path("Datos\\SUB\\ESCONDIDA")).value(), kFolder | kHidden);
    EXPECT_EQ(files.GetAttr(Path("Datos")).value(), kFolder);
    EXPECT_EQ(state.RestoredPath, Path("Datos\\"));
    EXPECT_EQ(host.opened, std::vector<std::string>{Path("Datos\\")});
    EXPECT_TRUE(host.hidden);
    EXPECT_EQ(host.captions, std::vector<std::string>{"Decodificando..."});
}

TEST_F(DecoderTest, CancelWhileDecodingKeepsTheContainerAndWhatWasWritten) {
    temp.Write("M/a", std::string(1000, 'a'));
    temp.Write("M/b", std::string(300000, 'b'));
    EncodeAway("M");
    const auto container = ContainerBytes("M.zol");
    const std::string staging = StagingName("M.zol");
    host.on_pump = [&](int) {
        if (temp.Exists(staging + "/B"))
            host.PressCancelar();
    };
    EXPECT_THROW(Decode("M.zol"), ProgramEnded);
    EXPECT_EQ(ContainerBytes("M.zol"), container);
    // What was extracted is published under the name; the file cut short
    // is not, and nothing is left staged.
    EXPECT_EQ(temp.Read("M/A"), std::string(1000, 'a'));
    EXPECT_FALSE(temp.Exists("M/B"));
    EXPECT_FALSE(temp.Exists(staging));
}

// What a killed restore left under its staging name is overwritten and
// removed by the next run on that container, with one line; one a live run
// holds stays as it is.
TEST_F(DecoderTest, LeftoversOfAKilledRestoreAreWipedByTheNextRun) {
    temp.Write("K/f", "datos");
    EncodeAway("K");
    const std::string staging = StagingName("K.zol");
    temp.Write(staging + "/sub/secreto.txt", "texto en claro");
    temp.Write(staging + "-2/otro", "en uso");
    chmod((temp.native + "/" + staging + "/sub/secreto.txt").c_str(), 0444);
    chmod((temp.native + "/" + staging + "/sub").c_str(), 0555);
    const int held = open((temp.native + "/" + staging + "-2").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(Decode("K.zol").outcome, Outcome::kDone);
    close(held);
    EXPECT_FALSE(temp.Exists(staging));
    EXPECT_EQ(temp.Read(staging + "-2/otro"), "en uso");
    EXPECT_EQ(temp.Read("K/F"), "datos");
    const std::string overwrite = "write " + Path(staging + "\\sub\\secreto.txt");
    EXPECT_NE(std::find(files.log.begin(), files.log.end(), overwrite), files.log.end());
    ExpectSaidOnce("sobrescrito y borrado");
}

// A folder of the name, hidden or not, is taken: the next number is used.
TEST_F(DecoderTest, ProgressEndsAtNineReadOnlyFoldersGetTheirFilesAndTakenNamesAreNumbered) {
    temp.Write("G/ro/f", std::string(999, 'g'));
    chmod((temp.native + "/G/ro").c_str(), 0555);
    EncodeAway("G");
    temp.MakeFolder("G");
    ASSERT_TRUE(files.SetAttr(Path("G"), kHidden | kSystem).ok());
    ASSERT_EQ(Decode("G.zol", {.keep_container = true}).outcome, Outcome::kDone)
        << host.messages.at(0);
    EXPECT_EQ(state.RestoredPath, Path("G (2)\\"));
    EXPECT_EQ(state.TotalBytes, 999);
    EXPECT_EQ(host.marks, std::vector<std::int64_t>{9});
    EXPECT_EQ(temp.Read("G (2)/RO/F"), std::string(999, 'g'));
    EXPECT_EQ(files.GetAttr(Path("G (2)\\RO")).value(), kFolder | kReadOnly);
    ASSERT_EQ(Decode("G.zol").outcome, Outcome::kDone);
    EXPECT_EQ(state.RestoredPath, Path("G (3)\\"));
    EXPECT_FALSE(temp.Exists("G.zol"));
}

TEST_F(DecoderTest, UnsafeOrDamagedContainersAreRefusedWithNothingCreated) {
    using Entries = std::vector<std::pair<std::string, std::int32_t>>;
    const std::vector<std::pair<const char*, Entries>> cases = {
        {"parent steps below a folder", {{"\\a\\..\\..\\x", 1}, {"\\r", 1}}},
        {"no leading backslash", {{"x", 1}}},
        {"escape sequence, carriage return and NUL", {{std::string("\\a\x1B[2J\rb\0c", 10), 1}}},
        {"component longer than the file system allows once converted",
         {{"\\a\\" + std::string(200, '\xE9'), 1}, {"\\r", 1}}},
        {"duplicate", {{"\\a", 1}, {"\\A", 1}}},
        {"folder without final backslash", {{"\\a", -1}, {"\\r", 1}}},
        {"file with final backslash", {{"\\a\\", 3}}},
        {"file where a folder must be", {{"\\a\\b", 1}, {"\\a", 1}}},
        {"folder the tree does not create", {{"\\a\\b\\c", 1}, {"\\r", 1}}},
        {"nothing in the root", {{"\\a\\", -1}}},
        {"no entries", {}},
    };
    for (const auto& [what, entries] : cases) {
        WriteLegacyContainer("H.zol", entries);
        ExpectNothingTouched(what, [&] { return Decode("H.zol"); });
    }
    std::printf("hostile containers: %zu unsafe or damaged indexes refused, nothing created\n",
                cases.size());
    // Refused before: the same container with safe names restores, entries
    // of one folder apart from each other included (legal though our encoder
    // never writes them).
    WriteLegacyContainer("H.zol", {{"\\a\\x", 2}, {"\\b\\y", 1}, {"\\a\\z", 3}, {"\\r", 1}});
    host = TestHost(files, cancel);
    ASSERT_EQ(Decode("H.zol").outcome, Outcome::kDone) << host.messages.at(0);
    EXPECT_EQ(temp.Read("H/A/X"), "dd");
    EXPECT_EQ(temp.Read("H/B/Y"), "d");
    EXPECT_EQ(temp.Read("H/A/Z"), "ddd");
}

// Deep down a folder, a name the container holds gives a whole path longer
// than the system's limit: every entry is reached through its folder's
// handle, so it is restored all the same.
TEST_F(DecoderTest, PathsBeyondTheSystemsLimitAreRestoredThroughHandles) {
    std::vector<std::string> deep;
    std::string deep_native;
    std::string deep_program;
    for (int level = 0; level < 20; ++level) {
        deep.push_back(std::string(200, static_cast<char>('a' + level)));
        deep_native += deep.back() + "/";
        deep_program += deep.back() + "\\";
    }
    const std::string inner(120, 'n');
    MakeThroughHandles(temp.native, deep);
    WriteLegacyContainer(deep_native + "H.zol", {{"\\r", 1}, {"\\" + inner + "\\" + inner, 1}});
    ASSERT_EQ(Decode(deep_program + "H.zol").outcome, Outcome::kDone) << host.messages.at(0);
    deep.insert(deep.end(), {"H", std::string(120, 'N'), std::string(120, 'N')});
    EXPECT_EQ(ReadThroughHandles(temp.native, deep), "d");
}

TEST_F(DecoderTest, WhatIsNotARegularFileOrLacksTheExtensionIsRefusedWithoutWaiting) {
    mkfifo((temp.native + "/tuberia.zol").c_str(), 0644);
    temp.MakeFolder("carpeta.zol");
    temp.Write("nada.txt", "x");
    // ".zol" and "...zol" name no folder to restore.
    temp.Write(".zol", "x");
    temp.Write("...zol", "x");
    alarm(20);  // a blocking open would hang the test: end it instead
    for (const std::string name : {"tuberia.zol", "carpeta.zol", "nada.txt", ".zol", "...zol"})
        ExpectNothingTouched(name, [&] { return Decode(name); });
    alarm(0);
}

// A sparse file whose header claims four million records: the password is
// checked from the header alone, and the records are read only as far as
// the first bad one.
TEST_F(DecoderTest, AHugeClaimedIndexIsNeverReadWhole) {
    const std::int32_t claimed = 4000000;
    const auto head = SerializeHeader({16, claimed, 2, MakePasswordCheck(tables, key)});
    temp.Write("S.zol", std::string(head.begin(), head.end()));
    fs::resize_file(temp.native + "/S.zol", kHeaderSize + std::uintmax_t{261} * claimed);
    const std::string container = Path("S.zol");

    const std::string right_key = key;
    key = DeriveKey("otra").value();
    EXPECT_EQ(Decode("S.zol").outcome, Outcome::kRefused);
    // The kind is told from the first 8 bytes (and the 8 where a sealed
    // header's copy would begin), then the header is read.
    EXPECT_EQ(files.bytes_read[container], 2 * kSealedMagic.size() + kHeaderSize);
    EXPECT_TRUE(files.writes.empty() && !temp.Exists("S"));  // a wrong key touches nothing

    key = right_key;
    files.bytes_read.clear();
    host = TestHost(files, cancel);
    EXPECT_EQ(Decode("S.zol").outcome, Outcome::kRefused);
    EXPECT_LT(files.bytes_read[container], 1u << 20);
    EXPECT_FALSE(temp.Exists("S"));
}

TEST_F(DecoderTest, EveryTruncationOfAValidContainerIsRefusedWithNothingCreated) {
    temp.Write("T/a.txt", "uno");
    temp.Write("T/sub/b.bin", std::string(300, 'b'));
    temp.Write("T/c.txt", "");
    EncodeAway("T");
    const auto whole = ContainerBytes("T.zol");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const std::string cut(whole.begin(), whole.begin() + static_cast<long>(length));
        temp.Write("T.zol", cut);
        ExpectNothingTouched(std::to_string(length), [&] { return Decode("T.zol"); });
    }
    std::printf("hostile containers: %zu truncations refused, nothing created\n", whole.size());
}

TEST_F(DecoderTest, EsperaPumpsForAboutTheTimeAskedEvenAcrossMidnight) {
    for (const double start : {500.0, 86399.6}) {
        SteppingClock steady(start, 0.1);
        Engine engine(files, host, tables, steady, cancel);
        host.pumps = 0;
        engine.Espera(0);
        EXPECT_EQ(host.pumps, 0) << start;
        engine.Espera(1);
        EXPECT_GE(host.pumps, 4) << start;
        EXPECT_LE(host.pumps, 6) << start;  // two readings per turn at 0.1 s each
    }
}

// Names whose encoded form begins or ends with a space: the field's padding
// cannot tell them apart, so the name reader measures the field itself.
TEST_F(DecoderTest, EdgeSpacesOfEncodedNamesAreDecodedExactly) {
    key = std::string(15, 'A');
    key[1] = static_cast<char>(196);  // "\" (92) + 196 wraps to a space at position 1
    const std::string leading = FixedText(tables.Enc("\\nombre", key), 64);
    ASSERT_EQ(leading[0], ' ');
    EXPECT_EQ(DecodeStoredName(tables, leading, key, false), "\\NOMBRE");
    EXPECT_NE(tables.DesEnc(leading, key), "\\NOMBRE");

    std::string folder_key(15, 'A');
    folder_key[3] = static_cast<char>(196);  // the third character's final "\"
    const std::string trailing = FixedText(tables.Enc("\\x\\", folder_key), 64);
    ASSERT_EQ(trailing[2], ' ');
    EXPECT_EQ(DecodeStoredName(tables, trailing, folder_key, true), "\\X\\");
    EXPECT_EQ(DecodeStoredName(tables, trailing, folder_key, false), "\\X");
}

}  // namespace
}  // namespace velmora
