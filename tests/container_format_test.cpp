#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "container/container_format.h"
#include "container/container_reader.h"
#include "container/password_check.h"
#include "tests/golden_container.h"

namespace velmora {
namespace {

class ContainerFormatTest : public ::testing::Test {
  protected:
    ContainerFormatTest() : tables(nullptr) { tables.CrearBuffer(); }
    CipherTables tables;
    const std::string key = DeriveKey("secreto").value();
};

TEST_F(ContainerFormatTest, TheGoldenContainerReadsBack) {
    const std::vector<std::uint8_t> golden = GoldenContainer();
    ASSERT_EQ(golden.size(), 164u);
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
