#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/names.h"
#include "platform/posix/posix_file_system.h"
#include "tests/numbered_files_check.h"
#include "tests/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class PlatformTest : public ::testing::Test {
  protected:
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
    // Read every way the program reads them (by path, in a listing, through
    // the folder's handle and through the entry's own), which must agree.
    int Attr(const std::string& name) {
        const int by_path = system.GetAttr(path + "\\" + name).value();
        const int folder = system.OpenStartingFolder(path).value();
        const int own =
            (fs::is_directory(native + "/" + name) ? system.OpenFolderAt(folder, name)
                                                   : system.OpenAt(folder, name, OpenMode::kRead))
                .value();
        for (const DirEntry& entry : system.ListFolderAt(folder).value()) {
            if (entry.name == name) {
                EXPECT_EQ(entry.attributes, by_path) << name;
            }
        }
        EXPECT_EQ(system.GetAttrAt(folder, name).value(), by_path) << name;
        EXPECT_EQ(system.GetAttrOpen(own, name).value(), by_path) << name;
        (void)system.Close(own);
        (void)system.Close(folder);
        return by_path;
    }

    TempFolder temp;
    const std::string& native = temp.native;
    const std::string& path = temp.path;
    PosixFileSystem system;
};

// Without the extended attribute the dot, the kind and the permission
// decide; with it, only its hidden, system and archive bits count.
TEST_F(PlatformTest, AttributesComeFromTheExtendedAttributeOrTheDefaults) {
    struct Case {
        const char* name;
        bool folder;
        std::string xattr;  // "" for none
        int expected;
    };
    const Case cases[] = {
        {"plain.txt", false, "", kArchive},
        {".oculto", false, "", kArchive | kHidden},
        {"carpeta", true, "", kFolder},
        {".config", true, "", kFolder | kHidden},
        {"a", false, "0x6", kHidden | kSystem},
        {"b", false, "0x0", kNormal},
        {".dot", false, "0x20", kArchive},  // the stored value wins over the dot
        {"samba", false, std::string("\0\0\x04\0", 4), kArchive},  // binary form: as absent
        {"bits", false, "0xff", kHidden | kSystem | kArchive},
    };
    for (const Case& c : cases) {
        if (c.folder)
            fs::create_directory(native + "/" + c.name);
        else
            temp.Write(c.name, "x");
        if (!c.xattr.empty())
            SetXattr(c.name, c.xattr);
        EXPECT_EQ(Attr(c.name), c.expected) << c.name;
    }
    temp.Write("solo-lectura", "x");
    chmod((native + "/solo-lectura").c_str(), 0444);
    EXPECT_EQ(Attr("solo-lectura"), kArchive | kReadOnly);
    // The "." of a listing is the folder itself, not a hidden name.
    EXPECT_EQ(system.GetAttr(path + "\\carpeta\\.").value(), kFolder);
}

TEST_F(PlatformTest, SettingAttributesWritesPermissionAndExtendedAttribute) {
    temp.Write("f", "x");
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
    for (const char* folder : {"visible", ".punto", "marcada", "sistema"})
        temp.MakeFolder(folder);
    temp.Write("archivo", "x");
    temp.Write(".oculto", "x");
    ASSERT_TRUE(system.SetAttr(path + "\\marcada", kHidden).ok());
    ASSERT_TRUE(system.SetAttr(path + "\\sistema", kSystem).ok());

    using Names = std::vector<std::string>;
    EXPECT_EQ(system.Dir(path + "\\", kMaskNoHidden).value(),
              (Names{".", "..", "archivo", "sistema", "visible"}));
    EXPECT_EQ(system.Dir(path + "\\", kMaskEverything).value(),
              (Names{".", "..", ".oculto", ".punto", "archivo", "marcada", "sistema", "visible"}));

    // A search for one entry's path: the entry, if the mask lets it through.
    const std::vector<std::tuple<std::string, int, Names>> searches = {
        {"\\visible", kMaskNoHidden, {"visible"}}, {"\\sistema", kMaskNoHidden, {"sistema"}},
        {"\\archivo", kMaskNoHidden, {"archivo"}}, {"\\.punto", kMaskNoHidden, {}},
        {"\\marcada", kMaskNoHidden, {}},          {"\\marcada", kMaskEverything, {"marcada"}},
        {"\\falta", kMaskEverything, {}},          {"\\falta\\", kMaskEverything, {}},
        {"\\archivo\\", kMaskEverything, {}}};
    for (const auto& [searched, mask, found] : searches)
        EXPECT_EQ(system.Dir(path + searched, mask).value(), found) << searched << " " << mask;
    EXPECT_TRUE(system.Dir("", kMaskEverything)->empty());
}

// Names convert at the edge: the listing gives them in Windows-1252 ("café €"
// among them). (A name Windows-1252 cannot hold, or one with a backslash, is
// refused: EncoderTest's unsafe trees, through the listing; start-up's lines,
// the name shown with its "?".)
TEST_F(PlatformTest, ListingsAreSortedByUpperCaseThenRawBytes) {
    for (const char* name :
         {"b", "A", "a", "\xC3\x81", "\xC3\xA1", "_x", "Z", "caf\xC3\xA9 \xE2\x82\xAC"})
        temp.Write(name, "x");
    fs::create_directory(native + "/sub");
    fs::create_directory(native + "/.sub");
    fs::create_symlink(native + "/b", native + "/enlace");

    std::vector<std::string> names;
    std::vector<EntryKind> kinds;
    for (const DirEntry& entry : system.ListFolder(path).value()) {
        names.push_back(entry.name);
        kinds.push_back(entry.kind);
    }
    EXPECT_EQ(names, (std::vector<std::string>{".sub", "A", "a", "b", "caf\xE9 \x80", "enlace",
                                               "sub", "Z", "_x", "\xC1", "\xE1"}));
    EXPECT_EQ(kinds[5], EntryKind::kSymlink);
}

TEST_F(PlatformTest, NumberedFilesReadWriteAndCloseTogether) {
    ExpectNumberedFilesReadWriteAndCloseTogether(system, path);
}

TEST_F(PlatformTest, LinksAreNeverFollowed) {
    temp.Write("objetivo", "contenido");
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
    WorkingFolder inside(native);
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
        Result<std::string> resolved = system.FromSystemPath(given, what);
        ASSERT_TRUE(resolved.ok()) << given;
        EXPECT_EQ(NativePath(resolved.value(), NameCoding::kWindows1252).value(), meant) << given;
    }
    EXPECT_FALSE(system.FromSystemPath("falta/x", Given::kEntry).ok());
    EXPECT_FALSE(system.FromSystemPath("\xC4\x81", Given::kEntry).ok());  // its own name

    // The same folder however it is reached.
    const std::string sub = path + "\\d\\sub";
    EXPECT_TRUE(system.IsSameOrInside(path + "\\L", path + "\\d").value());
    EXPECT_FALSE(system.IsSameOrInside(path + "\\L\\..", sub).value());
    EXPECT_TRUE(system.IsSameOrInside(path + "\\L", sub).value());
    EXPECT_FALSE(system.IsSameOrInside(path + "\\t", path + "\\d").value());
}

}  // namespace
}  // namespace velmora
