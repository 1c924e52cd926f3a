#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "container/container_format.h"
#include "container/container_reader.h"
#include "container/data_coding.h"
#include "container/password_check.h"

namespace velmora {
namespace {

class ContainerFormatTest : public ::testing::Test {
  protected:
    ContainerFormatTest() : tables(nullptr) { tables.CrearBuffer(); }
    CipherTables tables;
};

TEST_F(ContainerFormatTest, HeaderIsTwentyOneLittleEndianBytes) {
    ContainerHeader header{16, 0x01020304, 2, "abc"};
    const auto bytes = SerializeHeader(header);
    const std::vector<std::uint8_t> expected = {16,  4,   3,   2,   1,   2,   'a',
                                                'b', 'c', ' ', ' ', ' ', ' ', ' ',
                                                ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);

    header.EntryCount = -2;
    header.PasswordCheck = "0123456789abcdefXYZ";  // cut at 15
    const ContainerHeader back = ParseHeader(SerializeHeader(header).data());
    EXPECT_EQ(back.EntryCount, -2);
    EXPECT_EQ(back.PasswordCheck, "0123456789abcde");
    EXPECT_EQ(back.FolderAttributes, 16);
    EXPECT_EQ(back.NameWidthCode, 2);
}

TEST_F(ContainerFormatTest, RecordsHaveTheirWidthAndFieldsInOrder) {
    EXPECT_EQ(RecordSize(0), 70u);
    EXPECT_EQ(RecordSize(1), 134u);
    EXPECT_EQ(RecordSize(2), 261u);
    EXPECT_THROW(RecordSize(3), std::invalid_argument);

    const EntryRecord folder{"\\old\\", 16, 18, -1};
    for (std::uint8_t code = 0; code <= 2; ++code) {
        const auto bytes = SerializeRecord(folder, code);
        const std::size_t width = NameWidth(code);
        ASSERT_EQ(bytes.size(), width + 6);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "\\old\\");
        EXPECT_EQ(bytes[5], ' ');
        EXPECT_EQ(bytes[width - 1], ' ');
        EXPECT_EQ(bytes[width], 16);
        EXPECT_EQ(bytes[width + 1], 18);
        for (std::size_t i = width + 2; i < width + 6; ++i)
            EXPECT_EQ(bytes[i], 0xFF);
        const EntryRecord back = ParseRecord(bytes.data(), code);
        EXPECT_EQ(back.EntrySize, -1);
        EXPECT_EQ(back.EncodedName, FixedText("\\old\\", width));
    }
    // A name longer than the field is cut at its width.
    const EntryRecord long_name{std::string(300, 'n'), 32, 16, 7};
    EXPECT_EQ(ParseRecord(SerializeRecord(long_name, 2).data(), 2).EncodedName,
              std::string(255, 'n'));
}

// The smallest interesting container: one 3-byte file and one empty
// subfolder, every full path short.
TEST_F(ContainerFormatTest, OneFileAndOneEmptyFolderMake164Bytes) {
    const std::string key = DeriveKey("secreto").value();
    ContainerHeader header{16, 2, 0, MakePasswordCheck(tables, key)};
    std::vector<std::uint8_t> image;
    const auto head = SerializeHeader(header);
    image.insert(image.end(), head.begin(), head.end());
    const EntryRecord folder{tables.Enc("\\vacia\\", key), 16, 16, -1};
    const EntryRecord file{tables.Enc("\\a.txt", key), 32, 16, 3};
    for (const EntryRecord& record : {folder, file}) {
        const auto bytes = SerializeRecord(record, 0);
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    std::uint8_t data[3] = {'x', 'y', 'z'};
    EncodeFileData(data, 3, KeyStream(tables, key));
    image.insert(image.end(), data, data + 3);
    ASSERT_EQ(image.size(), 164u);

    MemoryByteSource source(image);
    Result<ContainerIndex> index = ReadContainerIndex(source);
    ASSERT_TRUE(index.ok()) << index.error().message;
    EXPECT_EQ(index->header.EntryCount, 2);
    EXPECT_EQ(index->header.NameWidthCode, 0);
    EXPECT_EQ(index->data_offset, 161);
    EXPECT_EQ(index->data_length, 3);
    ASSERT_EQ(index->records.size(), 2u);
    EXPECT_EQ(index->records[0].EntrySize, -1);
    EXPECT_EQ(tables.DesEnc(index->records[0].EncodedName, key), "\\VACIA\\");
    EXPECT_EQ(tables.DesEnc(index->records[1].EncodedName, key), "\\A.TXT");
    EXPECT_TRUE(PasswordMatches(tables, index->header.PasswordCheck, key));
    EXPECT_FALSE(PasswordMatches(tables, index->header.PasswordCheck, DeriveKey("otra").value()));
}

TEST_F(ContainerFormatTest, CheckValueWithALeadingSpaceStillOpensWithItsKey) {
    // Check character 1 is key[1] + key[2]; upper "A grave" (192) + 1 and
    // "]" (93) + 2 add up to 288, which wraps to a space.
    const std::string key = DeriveKey("\xC0]x").value();
    const std::string check = MakePasswordCheck(tables, key);
    ASSERT_EQ(check.front(), ' ');
    EXPECT_TRUE(PasswordCheckHasEdgeSpace(tables, key));
    EXPECT_TRUE(PasswordMatches(tables, check, key));
    // The trimmed comparison would measure the check short and refuse it.
    EXPECT_NE(tables.DesEnc(check, key), key);
}

}  // namespace
}  // namespace velmora
