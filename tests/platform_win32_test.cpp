#include <gtest/gtest.h>
#include <windows.h>
#undef DeleteFile

#include <errno.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "platform/clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_tree_ops.h"
#include "tests/folder_link.h"
#include "tests/numbered_files_check.h"
#include "tests/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A fresh folder under the user's temporary folder; `path` is the program's
// form of it. Files are made with the standard library, not the code under
// test.
class Win32PlatformTest : public ::testing::Test {
  protected:
    fs::path Native(const std::string& relative) const {
        return root / Cp1252ToUtf16(relative).value();
    }
    void Write(const std::string& relative, const std::string& content = "x") const {
        fs::create_directories(Native(relative).parent_path());
        std::ofstream(Native(relative), std::ios::binary) << content;
    }
    std::string P(const std::string& relative) const { return path + "\\" + relative; }

    TempFolder temp;
    const fs::path root{temp.native};
    const std::string& path = temp.path;
    Win32FileSystem files;
};

TEST_F(Win32PlatformTest, AttributesAreTheNativeOnes) {
    Write("f");
    fs::create_directory(Native("d"));
    EXPECT_EQ(files.GetAttr(P("d")).value(), kFolder);
    ASSERT_TRUE(files.SetAttr(P("f"), kReadOnly | kHidden | kArchive));
    EXPECT_EQ(GetFileAttributesW(Native("f").wstring().c_str()) & 0x27, 0x23u);
    EXPECT_EQ(files.GetAttr(P("f")).value(), kReadOnly | kHidden | kArchive);
    ASSERT_TRUE(files.SetAttr(P("f"), 0));
    EXPECT_EQ(files.GetAttr(P("f")).value() & (kReadOnly | kHidden), 0);
    EXPECT_FALSE(files.GetAttr(P("missing")).ok());
}

TEST_F(Win32PlatformTest, SearchesHonourTheMaskAndTheListingOrder) {
    for (const char* name : {"b", "A", "\xE1rbol", "Z", "a_"})
        Write(name);
    Write("oculto");
    ASSERT_TRUE(files.SetAttr(P("oculto"), kHidden));
    fs::create_directory(Native("carpeta"));
    EXPECT_EQ(files.Dir(path + "\\", kMaskEverything).value(),
              (Names{".", "..", "A", "a_", "b", "carpeta", "oculto", "Z", "\xE1rbol"}));
    EXPECT_EQ(files.Dir(path + "\\", 0).value(), (Names{"A", "a_", "b", "Z", "\xE1rbol"}));
    EXPECT_EQ(files.Dir(P("carpeta\\."), kMaskEverything).value(), Names{"carpeta"});
    EXPECT_EQ(files.Dir(P("nada\\"), kMaskEverything).value(), Names{});
}

TEST_F(Win32PlatformTest, NamesWindows1252CannotHoldAreRefusedByName) {
    Write("bien");
    std::ofstream(root / L"mal\u0100", std::ios::binary) << "x";
    const Result<std::vector<DirEntry>> listing = files.ListFolder(path);
    ASSERT_FALSE(listing.ok());
    EXPECT_NE(listing.error().message.find("mal?"), std::string::npos);
    EXPECT_NE(listing.error().message.find("fuera de Windows-1252"), std::string::npos);
}

TEST_F(Win32PlatformTest, NumberedFilesReadWriteAndCloseTogether) {
    ExpectNumberedFilesReadWriteAndCloseTogether(files, path);
    // Reading denies write sharing: a file still being written is not opened.
    const int writing = files.Open(P("uno"), OpenMode::kReadWrite).value();
    EXPECT_EQ(files.Open(P("uno"), OpenMode::kRead).error().code, EBUSY);
    EXPECT_TRUE(files.Close(writing));
}

TEST_F(Win32PlatformTest, PathsLongerThanMaxPathWork) {
    std::vector<std::string> folders{path};
    while (folders.back().size() < 400) {
        folders.push_back(folders.back() + "\\carpeta con nombre largo");
        ASSERT_TRUE(files.MakeFolder(folders.back())) << folders.back().size();
    }
    const std::string deep = folders.back();
    const std::string file = deep + "\\\xFAltimo.txt";
    const int number = files.Open(file, OpenMode::kCreateNew).value();
    ASSERT_TRUE(files.Write(number, 0, reinterpret_cast<const std::uint8_t*>("ok"), 2));
    ASSERT_TRUE(files.Close(number));
    EXPECT_EQ(files.Inspect(file).value().size, 2);
    EXPECT_EQ(files.ListFolder(deep).value().at(0).name, "\xFAltimo.txt");
    const int inner = files.OpenStartingFolder(deep).value();
    const EntryInfo written = files.InspectAt(inner, "\xFAltimo.txt").value();
    ASSERT_TRUE(files.DeleteFileAt(inner, "\xFAltimo.txt", written).value());
    EXPECT_FALSE(files.Inspect(file).ok());
    ASSERT_TRUE(files.Close(inner));
    for (std::size_t i = folders.size() - 1; i > 0; --i) {
        const int parent = files.OpenStartingFolder(folders[i - 1]).value();
        const std::string name = OwnName(folders[i]);
        ASSERT_TRUE(
            files.RemoveFolderAt(parent, name, files.InspectAt(parent, name).value()).value());
        ASSERT_TRUE(files.Close(parent));
    }
}

TEST_F(Win32PlatformTest, IdentityAndLinksComeFromTheHandle) {
    Write("uno", "abc");
    ASSERT_TRUE(
        CreateHardLinkW(Native("dos").wstring().c_str(), Native("uno").wstring().c_str(), nullptr));
    const EntryInfo one = files.Inspect(P("uno")).value();
    EXPECT_EQ(one.kind, EntryKind::kFile);
    EXPECT_EQ(one.links, 2u);
    EXPECT_EQ(files.Inspect(P("dos")).value().inode, one.inode);
    EXPECT_EQ(files.Inspect(path).value().kind, EntryKind::kFolder);
}

// Entries reached inside an open folder: deleted only while the same
// entry, a folder never opened as a file. (A file written to since it was
// seen, and the run lock: RaceTest, on this system too.)
TEST_F(Win32PlatformTest, EntriesInsideAnOpenFolderAreCheckedBeforeTheyChange) {
    std::ofstream(Native("a.txt")) << "uno";
    fs::create_directory(Native("sub"));
    const int folder = files.OpenStartingFolder(path).value();
    const EntryInfo seen = files.InspectAt(folder, "a.txt").value();
    fs::rename(Native("a.txt"), Native("b.txt"));
    std::ofstream(Native("a.txt")) << "UNO";  // same name and size
    EXPECT_FALSE(files.DeleteFileAt(folder, "a.txt", seen).value());
    EXPECT_FALSE(files.SetAttrAt(folder, "a.txt", kHidden, &seen).ok());
    EXPECT_TRUE(
        files.DeleteFileAt(folder, "a.txt", files.InspectAt(folder, "a.txt").value()).value());
    EXPECT_FALSE(fs::exists(Native("a.txt")));
    EXPECT_TRUE(fs::exists(Native("b.txt")));

    const EntryInfo sub = files.InspectAt(folder, "sub").value();
    EXPECT_FALSE(files.OpenAt(folder, "..", OpenMode::kRead).ok());
    EXPECT_FALSE(files.OpenAt(folder, "sub", OpenMode::kRead).ok());
    fs::rename(Native("sub"), Native("otra"));
    fs::create_directory(Native("sub"));
    EXPECT_FALSE(files.RemoveFolderAt(folder, "sub", sub).value());
    EXPECT_TRUE(files.RemoveFolderAt(folder, "otra", sub).value());
    files.CloseAll();
}

// A link to a folder (Wine shows a Unix one as a reparse point) is opened as
// itself and refused by every call that expects a file or a folder; the
// folder it leads to is never changed.
TEST_F(Win32PlatformTest, AFolderLinkIsNeverFollowed) {
    Write("fuera/f", "fuera");
    fs::create_directory(Native("T"));
    if (!FolderLink(Native("fuera"), Native("T/enlace"), true))
        GTEST_SKIP() << "Windows lets this account make no symbolic link";
    const int folder = files.OpenStartingFolder(P("T")).value();
    const EntryInfo outside = files.Inspect(P("fuera")).value();
    EXPECT_EQ(files.InspectAt(folder, "enlace").value().kind, EntryKind::kSymlink);
    EXPECT_EQ(files.ListFolderAt(folder).value().at(0).kind, EntryKind::kSymlink);
    EXPECT_EQ(files.OpenFolderAt(folder, "enlace").error().code, ELOOP);
    EXPECT_FALSE(files.SetAttrAt(folder, "enlace", kHidden, &outside).ok());
    const Result<bool> removed = files.RemoveFolderAt(folder, "enlace", outside);
    EXPECT_FALSE(removed.ok() && removed.value());
    for (const char* name : {"enlace", "enlace\\f", "..", "a:b", "*"})
        EXPECT_FALSE(files.OpenAt(folder, name, OpenMode::kRead).ok()) << name;
    EXPECT_EQ(files.GetAttr(P("fuera")).value(), kFolder);
    EXPECT_TRUE(fs::exists(Native("fuera/f")));
    files.CloseAll();
    FolderLink(Native("fuera"), Native("T/enlace"), false);
}

// Every call reaches the entry through the folder's handle: with the folder
// renamed away after it was opened and another of the same name and shape in
// its place, each acts in the folder opened, or (a rename or delete under
// Wine, whose server does them by the path recorded at the open) is refused;
// the same-named stand-in is never touched.
TEST_F(Win32PlatformTest, CallsReachTheOpenedFolderWhereverItWent) {
    Write("T/f", "original");
    Write("T/g", "g");
    fs::create_directory(Native("T/sub"));
    const int folder = files.OpenStartingFolder(P("T")).value();
    const EntryInfo g = files.InspectAt(folder, "g").value();
    fs::rename(Native("T"), Native("movida"));
    Write("T/f", "impostor");
    Write("T/g", "g");
    fs::create_directory(Native("T/sub"));
    const int file = files.OpenAt(folder, "f", OpenMode::kRead).value();
    char got[8] = {};
    EXPECT_EQ(files.Read(file, 0, reinterpret_cast<std::uint8_t*>(got), 8).value(), 8u);
    EXPECT_EQ(std::string(got, 8), "original");
    ASSERT_TRUE(files.Close(file));
    EXPECT_EQ(files.ListFolderAt(folder).value().size(), 3u);
    const Result<int> created = files.OpenAt(folder, "nuevo", OpenMode::kCreateNew);
    ASSERT_TRUE(created.ok());
    ASSERT_TRUE(files.Close(created.value()));
    EXPECT_TRUE(fs::exists(Native("movida/nuevo")));
    ASSERT_TRUE(files.MakeFolderAt(folder, "nueva"));
    EXPECT_EQ(files.MakeFolderAt(folder, "nueva").error().code, EEXIST);
    const int sub = files.OpenFolderAt(folder, "sub").value();
    EXPECT_EQ(files.InspectOpen(sub).value().inode, files.Inspect(P("movida\\sub")).value().inode);
    ASSERT_TRUE(files.SetAttrAt(folder, "f", kHidden));
    EXPECT_EQ(files.GetAttr(P("movida\\f")).value() & kHidden, kHidden);
    EXPECT_TRUE(fs::exists(Native("movida/nueva")));
    const bool renamed = files.RenameAt(folder, "f", "h").ok();
    EXPECT_EQ(fs::exists(Native("movida/h")), renamed);
    EXPECT_NE(fs::exists(Native("movida/f")), renamed);
    const Result<bool> deleted = files.DeleteFileAt(folder, "g", g);
    EXPECT_NE(fs::exists(Native("movida/g")), deleted.ok() && deleted.value());
    EXPECT_EQ(renamed, deleted.ok());
    // The stand-in is as it was made.
    EXPECT_EQ(files.Dir(P("T\\"), kMaskEverything).value(), (Names{".", "..", "f", "g", "sub"}));
    std::ifstream stand_in(Native("T/f"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stand_in), {}), "impostor");
    EXPECT_EQ(files.GetAttr(P("T\\f")).value() & kHidden, 0);
    files.CloseAll();
}

TEST(Win32NamesTest, NamesWindowsCannotCreateAreToldWithWhat) {
    Win32FileSystem files;
    // Pairs: a name (Windows-1252, where \xB9 \xB2 \xB3 are the superscript
    // digits) and what its refusal names, or "" for a name Windows creates.
    const char* const cases[] = {"CON",       "CON ",      "nul",         "NUL ",
                                 "Aux.txt",   "AUX ",      "prn .tar.gz", "PRN ",
                                 "COM0",      "COM0 ",     "com9.log",    "COM9 ",
                                 "lpt0",      "LPT0 ",     "LPT\xB9",     "LPT\xB9 ",
                                 "com\xB2.x", "COM\xB2 ",  "Lpt\xB3",     "LPT\xB3 ",
                                 "conin$",    "CONIN$ ",   "CONOUT$.txt", "CONOUT$ ",
                                 "a.",        "punto",     "b ",          "espacio",
                                 "x?y",       "\xAB?\xBB", "e\"f",        "\xAB\"\xBB",
                                 "h:i",       "\xAB:\xBB", "j/k",         "\xAB/\xBB",
                                 "t\tab",     "digo 9)",   "\x1F",        "digo 31)",
                                 "CONSOLA",   "",          "COM10",       "",
                                 "LPT\xB4",   "",          "COM\xB9x",    "",
                                 "CONIN",     "",          ".oculto",     "",
                                 "NULL.txt",  "",          "a\xF1o",      ""};
    for (std::size_t i = 0; i < std::size(cases); i += 2) {
        const std::string why = files.UncreatableName(cases[i]);
        const std::string told = cases[i + 1];
        if (told.empty())
            EXPECT_EQ(why, "") << cases[i];
        else
            EXPECT_NE(why.find(told), std::string::npos) << cases[i] << ": " << why;
    }
    files.SetNameCoding(NameCoding::kUtf8);
    EXPECT_NE(files.UncreatableName("COM\u00B9").find("COM\xB9 "), std::string::npos);
    EXPECT_EQ(files.UncreatableName("COM\u2074"), "");
}

TEST(Win32ClockTest, SecondsSinceMidnightStayWithinTheDay) {
    const double seconds = SystemClock().SecondsSinceMidnight();
    EXPECT_GE(seconds, 0.0);
    EXPECT_LT(seconds, 86400.0);
}

}  // namespace
}  // namespace velmora
