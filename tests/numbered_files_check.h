#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/file_system.h"

namespace velmora {

// What every system's numbered files do, in `folder` (the program's form):
// two files get two numbers; writes land where they are asked, past the
// end too (the gap reads as zeros); a read is short only at the end; a new
// file never overwrites one that exists, and opening again never truncates;
// CloseAll ends every number.
inline void ExpectNumberedFilesReadWriteAndCloseTogether(FileSystem& files,
                                                         const std::string& folder) {
    const std::string first = folder + "\\uno";
    const int a = files.Open(first, OpenMode::kCreateNew).value();
    const int b = files.Open(folder + "\\dos", OpenMode::kCreateNew).value();
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
    EXPECT_EQ(files.Open(first, OpenMode::kCreateNew).error().code, EEXIST);

    files.CloseAll();
    EXPECT_FALSE(files.Read(a, 0, back, 1).ok());
    EXPECT_FALSE(files.Write(b, 0, text, 1).ok());
    const Result<int> again = files.Open(first, OpenMode::kReadWrite);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(files.InspectOpen(again.value()).value().size, 13);
    EXPECT_TRUE(files.Close(again.value()).ok());
    EXPECT_EQ(files.Open(folder + "\\falta", OpenMode::kRead).error().code, ENOENT);
}

}  // namespace velmora
