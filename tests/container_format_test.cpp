#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "container/container_format.h"
#include "container/container_reader.h"
#include "container/data_coding.h"
#include "container/password_check.h"

namespace velmora {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// A literal's bytes, zeros included.
template <std::size_t N>
std::string Raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width - text.size(), ' ');
}

// The smallest interesting container, with the password "secreto": one empty
// folder "\vacia\" and one file "\a.txt" holding "xyz". Worked out by hand
// from the format's rules (key "TGFVJZV[NM]Qa]b"), not by our own code.
const std::string kGolden =
    // header: folder attributes, 2 entries, width code 0, the check value
    Raw("\x10\x02\x00\x00\x00\x00"
        "\x9B\x8D\x9C\xA0\xA4\xB0\xB1\xA9\x9B\xAA\xAE\xB2\xBE\xBF\xB6") +
    // the folder: name, attributes 16 and 16, size -1
    Padded("\xA3\xBC\xB7\xAD\xC3\xB7\xB7", 64) + Raw("\x10\x10\xFF\xFF\xFF\xFF") +
    // the file: name, attributes 32 and 16, size 3
    Padded("\xA3\xA7\x84\xBE\xD2\xCA", 64) + Raw("\x20\x10\x03\x00\x00\x00") +
    // its data
    "\xBF\xBF\xD0";

class ContainerFormatTest : public ::testing::Test {
  protected:
    ContainerFormatTest() : tables(nullptr) { tables.CrearBuffer(); }
    CipherTables tables;
    const std::string key = DeriveKey("secreto").value();
};

TEST_F(ContainerFormatTest, TheGoldenContainerIsWrittenByteForByte) {
    ASSERT_EQ(kGolden.size(), 164u);
    std::vector<std::uint8_t> image;
    const auto head = SerializeHeader({16, 2, 0, MakePasswordCheck(tables, key)});
    image.insert(image.end(), head.begin(), head.end());
    for (const EntryRecord& record : {EntryRecord{tables.Enc("\\vacia\\", key), 16, 16, -1},
                                      EntryRecord{tables.Enc("\\a.txt", key), 32, 16, 3}}) {
        const auto bytes = SerializeRecord(record, 0);
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    std::uint8_t data[3] = {'x', 'y', 'z'};
    EncodeFileData(data, 3, KeyStream(tables, key));
    image.insert(image.end(), data, data + 3);
    EXPECT_EQ(image, Bytes(kGolden));
}

TEST_F(ContainerFormatTest, TheGoldenContainerReadsBack) {
    const std::vector<std::uint8_t> golden = Bytes(kGolden);
    MemoryByteSource source(golden);
    Result<ContainerIndex> index = ReadContainerIndex(source);
    ASSERT_TRUE(index.ok()) << index.error().message;
    EXPECT_EQ(index->data_offset, 161);
    EXPECT_EQ(index->data_length, 3);
    ASSERT_EQ(index->records.size(), 2u);
    EXPECT_EQ(tables.DesEnc(index->records[0].EncodedName, key), "\\VACIA\\");
    EXPECT_EQ(tables.DesEnc(index->records[1].EncodedName, key), "\\A.TXT");
    EXPECT_TRUE(PasswordMatches(tables, index->header.PasswordCheck, DeriveKey("SECRETO").value()));
    EXPECT_FALSE(PasswordMatches(tables, index->header.PasswordCheck, DeriveKey("otra").value()));
}

TEST_F(ContainerFormatTest, WiderRecordsAndFieldsCutToTheirWidth) {
    EXPECT_EQ(RecordSize(1), 134u);
    EXPECT_EQ(RecordSize(2), 261u);
    EXPECT_THROW(RecordSize(3), std::invalid_argument);
    const EntryRecord long_name{std::string(300, 'n'), 32, 16, 7};
    const auto bytes = SerializeRecord(long_name, 2);
    EXPECT_EQ(ParseRecord(bytes.data(), 2).EncodedName, std::string(255, 'n'));
    EXPECT_EQ(bytes[257], 7);

    ContainerHeader header{16, -2, 2, "0123456789abcdefXYZ"};
    const ContainerHeader back = ParseHeader(SerializeHeader(header).data());
    EXPECT_EQ(back.EntryCount, -2);
    EXPECT_EQ(back.PasswordCheck, "0123456789abcde");
}

TEST_F(ContainerFormatTest, CheckValueWithALeadingSpaceStillOpensWithItsKey) {
    // Check character 1 is key[1] + key[2]; upper "A grave" (192) + 1 and
    // "]" (93) + 2 add up to 288, which wraps to a space.
    const std::string edge_key = DeriveKey("\xC0]x").value();
    const std::string check = MakePasswordCheck(tables, edge_key);
    ASSERT_EQ(check.front(), ' ');
    EXPECT_TRUE(PasswordCheckHasEdgeSpace(tables, edge_key));
    EXPECT_TRUE(PasswordMatches(tables, check, edge_key));
    // The trimmed comparison would measure the check short and refuse it.
    EXPECT_NE(tables.DesEnc(check, edge_key), edge_key);
}

}  // namespace
}  // namespace velmora
