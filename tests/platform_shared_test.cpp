// What both systems' file systems must do alike; compiled into each
// system's platform test (the Windows one runs under Wine).
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/cp1252.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#endif
#include "tests/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
#ifdef _WIN32
using SystemFileSystem = Win32FileSystem;
#else
using SystemFileSystem = PosixFileSystem;
#endif

// Entries are made with the standard library, not the code under test.
class SharedPlatformTest : public ::testing::Test {
  protected:
    // The entry of a UTF-8 name as the system names it.
    fs::path Native(const std::string& utf8) const {
        return fs::path(temp.native) / fs::path(std::u8string(utf8.begin(), utf8.end()));
    }
    // Makes a file, or a folder, of a Windows-1252 name.
    void Make(const std::string& name, bool folder = false) const {
        if (folder)
            fs::create_directory(Native(Cp1252ToUtf8(name).value()));
        else
            std::ofstream(Native(Cp1252ToUtf8(name).value())) << "x";
    }
    std::string P(const std::string& name) const { return temp.path + "\\" + name; }

    TempFolder temp;
    SystemFileSystem files;
};

TEST_F(SharedPlatformTest, AttributesSetAreReadBack) {
    Make("f");
    Make("d", true);
    EXPECT_EQ(files.GetAttr(P("d")).value(), kFolder);
    ASSERT_TRUE(files.SetAttr(P("f"), kReadOnly | kHidden | kArchive).ok());
    EXPECT_EQ(files.GetAttr(P("f")).value(), kReadOnly | kHidden | kArchive);
    ASSERT_TRUE(files.SetAttr(P("d"), kHidden).ok());
    EXPECT_EQ(files.GetAttr(P("d")).value(), kFolder | kHidden);
    ASSERT_TRUE(files.SetAttr(P("f"), 0).ok());
    EXPECT_EQ(files.GetAttr(P("f")).value() & (kReadOnly | kHidden), 0);
    EXPECT_FALSE(files.GetAttr(P("falta")).ok());
}

// A search names what its mask lets through, in the listing order: by the
// upper-cased name, then the raw bytes.
TEST_F(SharedPlatformTest, SearchesHonourTheMaskAndTheListingOrder) {
    for (const char* name : {"b", "A", "\xE1rbol", "Z", "a_", "_x", "oculto"})
        Make(name);
    for (const char* name : {"visible", "marcada", "sistema"})
        Make(name, true);
    ASSERT_TRUE(files.SetAttr(P("marcada"), kHidden).ok());
    ASSERT_TRUE(files.SetAttr(P("oculto"), kHidden).ok());
    ASSERT_TRUE(files.SetAttr(P("sistema"), kSystem).ok());
    const struct {
        std::string given;
        int mask;
        Names found;
    } cases[] = {
        {"\\",
         kMaskEverything,
         {".", "..", "A", "a_", "b", "marcada", "oculto", "sistema", "visible", "Z", "_x",
          "\xE1rbol"}},
        {"\\",
         kMaskNoHidden,
         {".", "..", "A", "a_", "b", "sistema", "visible", "Z", "_x", "\xE1rbol"}},
        {"\\", 0, {"A", "a_", "b", "Z", "_x", "\xE1rbol"}},
        {"\\visible", kMaskNoHidden, {"visible"}},
        {"\\visible\\.", kMaskNoHidden, {"visible"}},
        {"\\sistema", kMaskNoHidden, {"sistema"}},
        {"\\b", kMaskNoHidden, {"b"}},
        {"\\marcada", kMaskNoHidden, {}},
        {"\\marcada", kMaskEverything, {"marcada"}},
        {"\\oculto", kMaskNoHidden, {}},
        {"\\falta", kMaskEverything, {}},
        {"\\falta\\", kMaskEverything, {}},
#ifndef _WIN32  // Windows refuses a file's name that ends in a separator
        {"\\b\\", kMaskEverything, {}},
#endif
    };
    for (const auto& c : cases)
        EXPECT_EQ(files.Dir(temp.path + c.given, c.mask).value(), c.found) << c.given << c.mask;
    EXPECT_TRUE(files.Dir("", kMaskEverything)->empty());
}

// Names reach the program in Windows-1252; a name it cannot hold refuses
// the listing and is told with "?" in its place.
TEST_F(SharedPlatformTest, NamesConvertAtTheEdgeAndUnmappableOnesAreRefusedByName) {
    Make("caf\xE9 \x80");
    EXPECT_EQ(files.ListFolder(temp.path)->at(0).name, "caf\xE9 \x80");
    std::ofstream(Native("mal\xC4\x81")) << "x";  // a with macron
    const Result<std::vector<DirEntry>> listing = files.ListFolder(temp.path);
    ASSERT_FALSE(listing.ok());
    EXPECT_NE(listing.error().message.find("mal?"), std::string::npos);
    EXPECT_NE(listing.error().message.find("fuera de Windows-1252"), std::string::npos);
}

// Two files get two numbers; writes land where they are asked, past the
// end too (the gap reads as zeros); a read is short only at the end; a new
// file never overwrites one that exists, and opening again never truncates;
// CloseAll ends every number.
TEST_F(SharedPlatformTest, NumberedFilesReadWriteAndCloseTogether) {
    const int a = files.Open(P("uno"), OpenMode::kCreateNew).value();
    const int b = files.Open(P("dos"), OpenMode::kCreateNew).value();
    EXPECT_NE(a, b);
    const auto* text = reinterpret_cast<const std::uint8_t*>("0123456789xy");
    ASSERT_TRUE(files.Write(a, 0, text, 10).ok());
    ASSERT_TRUE(files.Write(a, 3, text + 10, 2).ok());
    ASSERT_TRUE(files.Write(a, 12, text, 1).ok());
    ASSERT_TRUE(files.Flush(a).ok());
    EXPECT_EQ(files.InspectOpen(a).value().size, 13);
    std::uint8_t back[20] = {};
    EXPECT_EQ(files.Read(a, 2, back, 20).value(), 11u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), 11),
              "2xy56789" + std::string(2, '\0') + "0");
    EXPECT_EQ(files.Open(P("uno"), OpenMode::kCreateNew).error().code, EEXIST);

    files.CloseAll();
    EXPECT_FALSE(files.Read(a, 0, back, 1).ok());
    EXPECT_FALSE(files.Write(b, 0, text, 1).ok());
    const int again = files.Open(P("uno"), OpenMode::kReadWrite).value();
    EXPECT_EQ(files.InspectOpen(again).value().size, 13);
#ifdef _WIN32
    // Reading denies write sharing: a file still being written is not opened.
    EXPECT_EQ(files.Open(P("uno"), OpenMode::kRead).error().code, EBUSY);
#endif
    EXPECT_TRUE(files.Close(again).ok());
    EXPECT_EQ(files.Open(P("falta"), OpenMode::kRead).error().code, ENOENT);
}

}  // namespace
}  // namespace velmora
