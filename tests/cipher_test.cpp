#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cipher/cipher_tables.h"

namespace velmora {
namespace {

class CipherTest : public ::testing::Test {
  protected:
    CipherTest() : tables([this](const std::string& text) { notices.push_back(text); }) {
        tables.CrearBuffer();
    }
    std::vector<std::string> notices;
    CipherTables tables;
};

// The data area's key positions: 2, 3, ... 15, then 1, 2, ... again.
TEST_F(CipherTest, DataKeyPositionsStartAtTheSecondAndCycleThroughFifteen) {
    for (const auto& [index, position] : {std::pair{1, 2}, {14, 15}, {15, 1}, {16, 2}, {65536, 2}})
        EXPECT_EQ(tables.KeyIndexTable(index), position) << index;
}

TEST_F(CipherTest, EncShiftsOverTheSpaceTrimmedLengthAndDesEncInvertsItUpToUpperCase) {
    const struct {
        std::string text, password, encoded;
    } cases[] = {
        // Text characters 1, 2, 3, 4 take password characters 2, 3, 1, 2.
        {std::string(4, '\0'), "\x01\x02\x03", "\x02\x03\x01\x02"},
        {"\xFA", "\x01\x0A", "\x04"},  // 250 + 10 wraps to 4
        {"abc", "\x01", "bcd"},
        // The length counts from the start: two leading spaces, two characters.
        {"  ab", "\x01", "!!"},
        {std::string("\t", 2), "\x01", "\x0A\x01"},  // only code 32 is a space: tab, zero
        {"", "x", ""},
        {"    ", "x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tables.Enc(c.text, c.password), c.encoded) << c.text;
    EXPECT_EQ(tables.DesEnc("\x04", "\x01\x0A"), "\xDA");  // 250, upper-cased
    // DesEnc inverts Enc up to upper case; trailing padding is not encoded,
    // so a padded field decodes cleanly.
    const std::string key =
        "K\xE9Y\xFF"
        "abcdefghijk";
    const std::string text = "\\cartas\\se\xF1or \x9A\x9C\x9E\xFF \xDF\xB5.txt";
    EXPECT_EQ(tables.DesEnc(tables.Enc(text, key) + "      ", key), ToUpperCp1252(text));
    EXPECT_TRUE(notices.empty());
}

TEST_F(CipherTest, EmptyPasswordGivesEmptyTextAndOneNotice) {
    // Nothing to encode: no notice.
    EXPECT_EQ(tables.Enc("", "") + tables.Enc("   ", ""), "");
    EXPECT_TRUE(notices.empty());
    // One notice per call, with the first character's code.
    EXPECT_EQ(tables.Enc("Abc", ""), "");
    EXPECT_EQ(tables.DesEnc("zq", ""), "");
    EXPECT_EQ(notices, (std::vector<std::string>{"65", "Divisi\xF3n por cero122"}));
}

// The rule itself (repeat, upper-case, raise by position) is the golden
// container's key; these are its edges.
TEST(KeyDerivationTest, TakesFifteenCharactersAndRefusesCodesAbove255) {
    EXPECT_EQ(DeriveKey("abcabcabcabcabcZZZ").value(), DeriveKey("ABC").value());
    EXPECT_FALSE(DeriveKey("").ok());
    // The division sign's positions: LegacyKeyTest.
    // A short password repeats it into positions 10 and 13.
    const Result<std::string> repeated = DeriveKey("\367ab");
    ASSERT_FALSE(repeated.ok());
    EXPECT_NE(repeated.error().message.find("\xF7"), std::string::npos);
    // y diaeresis upper-cases to 0x9F first and stays in range.
    EXPECT_TRUE(DeriveKey("\xFF\xFF\xFF").ok());
}

}  // namespace
}  // namespace velmora
