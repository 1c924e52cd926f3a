#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/name_order.h"
#include "platform/names.h"
#include "platform/posix/posix_file_system.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards. `native` is the UTF-8 path,
// `path` the program's form of it.
class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora-platform-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        native = pattern;
        path = ProgramPath(native).value();
    }
    void TearDown() override {
        system.CloseAll();
        std::error_code ignored;
        fs::permissions(native, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(native, ignored);
    }
    void MakeFile(const std::string& name, const std::string& content = "x") {
        std::ofstream(native + "/" + name, std::ios::binary) << content;
    }
    void SetXattr(const std::string& name, const std::string& value) {
        ASSERT_EQ(setxattr((native + "/" + name).c_str(), "user.DOSATTRIB", value.data(),
                           value.size(), 0),
                  0);
    }
    std::string Xattr(const std::string& name) {
        char value[64];
        const ssize_t n =
            getxattr((native + "/" + name).c_str(), "user.DOSATTRIB", value, sizeof value);
        return n < 0 ? "<none>" : std::string(value, static_cast<std::size_t>(n));
    }
    int Attr(const std::string& name) { return system.GetAttr(path + "\\" + name).value(); }

    PosixFileSystem system;
    std::string native;
    std::string path;
};

TEST_F(PlatformTest, AttributesWithoutTheExtendedAttributeFollowTheDefaults) {
    MakeFile("plain.txt");
    MakeFile(".oculto");
    fs::create_directory(native + "/carpeta");
    fs::create_directory(native + "/.config");
    MakeFile("solo-lectura");
    chmod((native + "/solo-lectura").c_str(), 0444);

    EXPECT_EQ(Attr("plain.txt"), kArchive);
    EXPECT_EQ(Attr(".oculto"), kArchive | kHidden);
    EXPECT_EQ(Attr("carpeta"), kFolder);
    EXPECT_EQ(Attr(".config"), kFolder | kHidden);
    EXPECT_EQ(Attr("solo-lectura"), kArchive | kReadOnly);
    // The "." of a listing is the folder itself, not a hidden name.
    EXPECT_EQ(system.GetAttr(path + "\\carpeta\\.").value(), kFolder);
}

TEST_F(PlatformTest, ExtendedAttributeDecidesHiddenSystemAndArchive) {
    MakeFile("a");
    SetXattr("a", "0x6");
    EXPECT_EQ(Attr("a"), kHidden | kSystem);
    SetXattr("a", "0x0");
    EXPECT_EQ(Attr("a"), kNormal);
    MakeFile(".dot");
    SetXattr(".dot", "0x20");
    EXPECT_EQ(Attr(".dot"), kArchive);  // the stored value wins over the dot
    MakeFile("samba");
    SetXattr("samba", std::string("\0\0\x04\0", 4));  // binary form: treated as absent
    EXPECT_EQ(Attr("samba"), kArchive);
    MakeFile("bits");
    SetXattr("bits", "0xff");  // only hidden, system and archive are taken
    EXPECT_EQ(Attr("bits"), kHidden | kSystem | kArchive);
}

TEST_F(PlatformTest, SettingAttributesWritesPermissionAndExtendedAttribute) {
    MakeFile("f");
    ASSERT_TRUE(system.SetAttr(path + "\\f", 0).ok());
    EXPECT_EQ(Xattr("f"), "0x0");
    EXPECT_EQ(Attr("f"), kNormal);

    ASSERT_TRUE(system.SetAttr(path + "\\f", kReadOnly | kHidden | kArchive).ok());
    EXPECT_EQ(Xattr("f"), "0x22");
    EXPECT_EQ(fs::status(native + "/f").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(Attr("f"), kReadOnly | kHidden | kArchive);

    // From read-only back to normal: the extended attribute must still change.
    ASSERT_TRUE(system.SetAttr(path + "\\f", 0).ok());
    EXPECT_EQ(Attr("f"), kNormal);
    EXPECT_NE(fs::status(native + "/f").permissions() & fs::perms::owner_write, fs::perms::none);

    fs::create_directory(native + "/d");
    ASSERT_TRUE(system.SetAttr(path + "\\d", kHidden).ok());
    EXPECT_EQ(Attr("d"), kFolder | kHidden);

    fs::create_symlink(native + "/f", native + "/link");
    EXPECT_FALSE(system.SetAttr(path + "\\link", 0).ok());
}

TEST_F(PlatformTest, DirectorySearchHonoursTheMask) {
    fs::create_directory(native + "/visible");
    fs::create_directory(native + "/.punto");
    fs::create_directory(native + "/marcada");
    fs::create_directory(native + "/sistema");
    MakeFile("archivo");
    MakeFile(".oculto");
    ASSERT_TRUE(system.SetAttr(path + "\\marcada", kHidden).ok());
    ASSERT_TRUE(system.SetAttr(path + "\\sistema", kSystem).ok());

    using Names = std::vector<std::string>;
    EXPECT_EQ(system.Dir(path + "\\", kMaskNoHidden).value(),
              (Names{".", "..", "archivo", "sistema", "visible"}));
    EXPECT_EQ(system.Dir(path + "\\", kMaskEverything).value(),
              (Names{".", "..", ".oculto", ".punto", "archivo", "marcada", "sistema", "visible"}));

    EXPECT_EQ(system.Dir(path + "\\visible", kMaskNoHidden).value(), Names{"visible"});
    EXPECT_EQ(system.Dir(path + "\\sistema", kMaskNoHidden).value(), Names{"sistema"});
    EXPECT_EQ(system.Dir(path + "\\archivo", kMaskNoHidden).value(), Names{"archivo"});
    EXPECT_TRUE(system.Dir(path + "\\.punto", kMaskNoHidden)->empty());
    EXPECT_TRUE(system.Dir(path + "\\marcada", kMaskNoHidden)->empty());
    EXPECT_EQ(system.Dir(path + "\\marcada", kMaskEverything).value(), Names{"marcada"});
    EXPECT_TRUE(system.Dir(path + "\\falta", kMaskEverything)->empty());
    EXPECT_TRUE(system.Dir(path + "\\falta\\", kMaskEverything)->empty());
    EXPECT_TRUE(system.Dir(path + "\\archivo\\", kMaskEverything)->empty());
    EXPECT_TRUE(system.Dir("", kMaskEverything)->empty());
}

TEST_F(PlatformTest, ListingsAreSortedByUpperCaseThenRawBytes) {
    for (const char* name : {"b", "A", "a", "\xC3\x81", "\xC3\xA1", "_x", "Z"})
        MakeFile(name);
    fs::create_directory(native + "/sub");
    fs::create_directory(native + "/.sub");
    fs::create_symlink(native + "/b", native + "/enlace");

    std::vector<std::string> names;
    std::vector<EntryKind> kinds;
    for (const DirEntry& entry : system.ListFolder(path).value()) {
        names.push_back(entry.name);
        kinds.push_back(entry.kind);
    }
    EXPECT_EQ(names, (std::vector<std::string>{".sub", "A", "a", "b", "enlace", "sub", "Z", "_x",
                                               "\xC1", "\xE1"}));
    EXPECT_EQ(kinds[4], EntryKind::kSymlink);
    EXPECT_EQ(system.ListSubfolders(path).value(), (std::vector<std::string>{".sub", "sub"}));
    EXPECT_EQ(system.ListFiles(path)->size(), 7u);
    EXPECT_TRUE(NameLess("abc", "ABD"));
    EXPECT_TRUE(NameLess("ab", "abc"));
    EXPECT_FALSE(NameLess("a", "a"));
}

TEST_F(PlatformTest, NamesConvertAtTheEdgeAndUnmappableOnesAreRefused) {
    MakeFile("caf\xC3\xA9 \xE2\x82\xAC");  // "café €"
    EXPECT_EQ(system.ListFiles(path).value(), std::vector<std::string>{"caf\xE9 \x80"});
    EXPECT_EQ(system.FileLen(path + "\\caf\xE9 \x80").value(), 1);

    MakeFile("\xC4\x81");  // a with macron: not in Windows-1252
    Result<std::vector<DirEntry>> listing = system.ListFolder(path);
    ASSERT_FALSE(listing.ok());
    EXPECT_NE(listing.error().message.find("?"), std::string::npos);
    fs::remove(native + "/\xC4\x81");

    MakeFile("a\\b");
    EXPECT_FALSE(system.ListFolder(path).ok());

    EXPECT_EQ(NativePath("\\tmp\\a\xF1o").value(), "/tmp/a\xC3\xB1o");
    EXPECT_EQ(ProgramPath("/tmp/a\xC3\xB1o").value(), "\\tmp\\a\xF1o");
    EXPECT_FALSE(Cp1252ToUtf8("\x81").ok());
    EXPECT_EQ(DisplayUtf8("\x81"
                          "a\xF1"),
              "?a\xC3\xB1");
}

TEST_F(PlatformTest, NumberedFilesReadWriteAndCloseTogether) {
    const std::string first = path + "\\uno";
    const std::string second = path + "\\dos";
    Result<int> a = system.Open(first, OpenMode::kReadWriteCreate);
    Result<int> b = system.Open(second, OpenMode::kCreateNew);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_NE(a.value(), b.value());
    const std::uint8_t data[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(system.Write(a.value(), 0, data, 5).ok());
    ASSERT_TRUE(system.Write(a.value(), 10, data, 2).ok());
    ASSERT_TRUE(system.Flush(a.value()).ok());
    EXPECT_EQ(system.InspectOpen(a.value())->size, 12);

    std::uint8_t back[20] = {};
    EXPECT_EQ(system.Read(a.value(), 3, back, 20).value(), 9u);  // short only at the end
    EXPECT_EQ(back[0], 4);
    EXPECT_EQ(back[7], 1);

    system.CloseAll();
    EXPECT_FALSE(system.Read(a.value(), 0, back, 1).ok());
    EXPECT_FALSE(system.Write(b.value(), 0, data, 1).ok());

    // Opening again neither truncates nor, for a new file, overwrites.
    Result<int> again = system.Open(first, OpenMode::kReadWriteCreate);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(system.InspectOpen(again.value())->size, 12);
    Result<int> clash = system.Open(second, OpenMode::kCreateNew);
    ASSERT_FALSE(clash.ok());
    EXPECT_EQ(clash.error().code, EEXIST);
    EXPECT_TRUE(system.Close(again.value()).ok());
}

TEST_F(PlatformTest, LinksAreNeverFollowed) {
    MakeFile("objetivo", "contenido");
    fs::create_symlink(native + "/objetivo", native + "/enlace");
    EXPECT_FALSE(system.Open(path + "\\enlace", OpenMode::kReadWrite).ok());
    EXPECT_EQ(system.Inspect(path + "\\enlace")->kind, EntryKind::kSymlink);
    EXPECT_EQ(system.Inspect(path + "\\objetivo")->kind, EntryKind::kFile);
    EXPECT_EQ(system.Inspect(path + "\\objetivo")->links, 1u);
}

// What a given path names is what the kernel makes of it, never what its
// text seems to say.
TEST_F(PlatformTest, GivenPathsMeanWhatTheKernelMakesOfThem) {
    fs::create_directories(native + "/d/sub");
    fs::create_directories(native + "/t");
    fs::create_directory_symlink(native + "/d/sub", native + "/L");
    const fs::path previous = fs::current_path();
    fs::current_path(native);
    using Given = FileSystem::Given;
    const std::vector<std::tuple<std::string, Given, std::string>> cases = {
        {"L/../t", Given::kEntry, native + "/d/t"},
        {native + "/L/../t", Given::kEntry, native + "/d/t"},
        {"L", Given::kEntry, native + "/L"},  // the link itself
        {"L/", Given::kEntry, native + "/d/sub"},
        {"L/.", Given::kEntry, native + "/d/sub"},
        {"./d//sub/..", Given::kEntry, native + "/d"},
        {"L", Given::kOutsideFolder, native + "/d/sub"},
        {"L/..", Given::kOutsideFolder, native + "/d"},
    };
    for (const auto& [given, what, meant] : cases) {
        Result<std::string> path = system.FromSystemPath(given, what);
        ASSERT_TRUE(path.ok()) << given;
        EXPECT_EQ(NativePath(path.value()).value(), meant) << given;
    }
    EXPECT_FALSE(system.FromSystemPath("falta/x", Given::kEntry).ok());
    EXPECT_FALSE(system.FromSystemPath("\xC4\x81", Given::kEntry).ok());  // its own name

    // The same folder however it is reached.
    const std::string sub = path + "\\d\\sub";
    EXPECT_TRUE(system.IsSameOrInside(path + "\\L", path + "\\d").value());
    EXPECT_FALSE(system.IsSameOrInside(path + "\\L\\..", sub).value());
    EXPECT_TRUE(system.IsSameOrInside(path + "\\L", sub).value());
    EXPECT_FALSE(system.IsSameOrInside(path + "\\t", path + "\\d").value());
    fs::current_path(previous);
    std::printf("paths: %zu given paths resolved as the kernel resolves them\n", cases.size());
}

TEST_F(PlatformTest, FoldersOutsideWithoutAWindows1252FormTravelAsTheyAre) {
    const std::string outside = native + "/\xC5\x82ukasz 100%";  // "łukasz 100%"
    fs::create_directories(outside);
    const std::string folder =
        system.FromSystemPath(outside, FileSystem::Given::kOutsideFolder).value();
    EXPECT_EQ(NativePath(folder).value(), outside);
    EXPECT_EQ(system.CharacterCount(folder + "\\a"), native.size() + 14);
    ASSERT_TRUE(system.MakeFolder(folder + "\\Datos").ok());
    EXPECT_TRUE(fs::is_directory(outside + "/Datos"));
    EXPECT_EQ(system.ListSubfolders(folder).value(), std::vector<std::string>{"Datos"});
    const std::string shown = system.DisplayPath(folder + "\\Datos");
    EXPECT_EQ(shown.substr(shown.size() - 17), "?ukasz 100%/Datos");
    EXPECT_EQ(system.CurrentFolder().value(), ProgramPath(fs::current_path().string()).value());
}

TEST_F(PlatformTest, OnlyRegularFilesAreOpenedAndNothingWaits) {
    ASSERT_EQ(mkfifo((native + "/tuberia").c_str(), 0644), 0);
    fs::create_directory(native + "/carpeta");
    alarm(20);  // a blocking open would hang the test: end it instead
    for (const char* name : {"tuberia", "carpeta"})
        for (const OpenMode mode : {OpenMode::kRead, OpenMode::kReadWrite})
            EXPECT_FALSE(system.Open(path + "\\" + name, mode).ok()) << name;
    alarm(0);
}

TEST_F(PlatformTest, FoldersAndFilesAreMadeAndRemoved) {
    ASSERT_TRUE(system.MakeFolder(path + "\\nueva").ok());
    EXPECT_FALSE(system.MakeFolder(path + "\\nueva").ok());
    MakeFile("nueva/dentro");
    Status not_empty = system.RemoveFolder(path + "\\nueva");
    ASSERT_FALSE(not_empty.ok());
    EXPECT_NE(not_empty.error().message.find("/nueva"), std::string::npos);
    ASSERT_TRUE(system.DeleteFile(path + "\\nueva\\dentro").ok());
    EXPECT_TRUE(system.SyncFolder(path + "\\nueva").ok());
    ASSERT_TRUE(system.RemoveFolder(path + "\\nueva").ok());
    EXPECT_FALSE(fs::exists(native + "/nueva"));
    EXPECT_FALSE(system.DeleteFile(path + "\\nueva").ok());
}

TEST_F(PlatformTest, CheckedDeleteAndRenameNeverTouchAnotherFile) {
    MakeFile("a", "antes");
    const EntryInfo seen = system.Inspect(path + "\\a").value();
    MakeFile("nuevo", "despues");
    fs::rename(native + "/nuevo", native + "/a");  // same name, another inode
    EXPECT_EQ(system.DeleteFileIfSame(path + "\\a", seen).value(), false);
    EXPECT_EQ(std::ifstream(native + "/a").rdbuf()->sgetc(), 'd');
    const EntryInfo now = system.Inspect(path + "\\a").value();
    EXPECT_NE(now.changed_ns, 0);
    EXPECT_TRUE(system.DeleteFileIfSame(path + "\\a", now).value());
    EXPECT_FALSE(fs::exists(native + "/a"));

    MakeFile("b", "b");
    MakeFile("c", "c");
    const Status replaced = system.RenameNew(path + "\\b", path + "\\c");
    ASSERT_FALSE(replaced.ok());
    EXPECT_EQ(replaced.error().code, EEXIST);
    ASSERT_TRUE(system.RenameNew(path + "\\b", path + "\\d").ok());
    EXPECT_FALSE(fs::exists(native + "/b"));
    EXPECT_TRUE(fs::exists(native + "/c") && fs::exists(native + "/d"));
}

TEST_F(PlatformTest, ProgramFolderAndClock) {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe);
    ASSERT_GT(n, 0);
    const std::string folder = fs::path(std::string(exe, std::size_t(n))).parent_path().string();
    EXPECT_EQ(system.ProgramFolder().value(), ProgramPath(folder).value());
    SystemClock clock;
    const double seconds = clock.SecondsSinceMidnight();
    EXPECT_GE(seconds, 0.0);
    EXPECT_LT(seconds, 86400.0);
}

}  // namespace
}  // namespace velmora
