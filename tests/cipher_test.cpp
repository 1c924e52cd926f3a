#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"

namespace velmora {
namespace {

std::string Bytes(std::initializer_list<int> codes) {
    std::string text;
    for (int code : codes)
        text.push_back(static_cast<char>(code));
    return text;
}

int Code(char c) {
    return static_cast<unsigned char>(c);
}

class CipherTest : public ::testing::Test {
  protected:
    CipherTest() : tables([this](const std::string& text) { notices.push_back(text); }) {
        tables.CrearBuffer();
    }
    std::vector<std::string> notices;
    CipherTables tables;
};

TEST_F(CipherTest, TablesAndDimeBufferWrapModulo256AndPasswordPositionsCycle) {
    const std::pair<int, int> codes[] = {{-32768, 0}, {-256, 0}, {-255, 1}, {-1, 255},  {0, 0},
                                         {255, 255},  {256, 0},  {300, 44}, {510, 254}, {512, 0}};
    for (const auto& [index, code] : codes) {
        EXPECT_EQ(Code(tables.DimeBuffer(static_cast<std::int16_t>(index))), code) << index;
        if (index >= 0) {
            EXPECT_EQ(Code(tables.CharTable(index)), code) << index;
        }
    }
    EXPECT_THROW(tables.DimeBuffer(513), std::out_of_range);
    const std::pair<int, int> positions[] = {{0, 0},  {1, 2},  {14, 15},
                                             {15, 1}, {16, 2}, {65536, 2}};
    for (const auto& [index, position] : positions)
        EXPECT_EQ(tables.KeyIndexTable(index), position) << index;
}

TEST_F(CipherTest, EncStartsAtThePasswordsSecondCharacterAndWraps) {
    // Text characters 1, 2, 3, 4 take password characters 2, 3, 1, 2.
    EXPECT_EQ(tables.Enc(Bytes({0, 0, 0, 0}), Bytes({1, 2, 3})), Bytes({2, 3, 1, 2}));
    // 250 + 10 wraps to 4, and back.
    const std::string password = Bytes({1, 10});
    EXPECT_EQ(tables.Enc(Bytes({250}), password), Bytes({4}));
    EXPECT_EQ(tables.DesEnc(Bytes({4}), password), "\xDA");  // 250, upper-cased
    // A one-character password shifts every character by its code.
    EXPECT_EQ(tables.Enc("abc", "\x01"), "bcd");
    EXPECT_TRUE(notices.empty());
}

TEST_F(CipherTest, LengthIsTakenFromTheSpaceTrimmedText) {
    // Two leading spaces: only two characters are encoded, from the start.
    EXPECT_EQ(tables.Enc("  ab", "\x01"), "!!");
    // Trailing padding is not encoded, so a padded field decodes cleanly.
    EXPECT_EQ(tables.DesEnc(tables.Enc("name", "KEY") + "      ", "KEY"), "NAME");
    // Only code 32 counts as a space: tabs and zeros are encoded.
    EXPECT_EQ(tables.Enc(Bytes({9, 0}), "\x01").size(), 2u);
    EXPECT_EQ(tables.Enc("", "x"), "");
    EXPECT_EQ(tables.Enc("    ", "x"), "");
}

TEST_F(CipherTest, DesEncIsTheInverseUpToUpperCase) {
    const std::string key =
        "K\xE9Y\xFF"
        "abcdefghijk";
    const std::string text = "\\cartas\\se\xF1or \x9A\x9C\x9E\xFF \xDF\xB5.txt";
    EXPECT_EQ(tables.DesEnc(tables.Enc(text, key), key), ToUpperCp1252(text));
    EXPECT_EQ(tables.DesEnc(tables.Enc("hello", key), key), "HELLO");
}

TEST_F(CipherTest, EmptyPasswordGivesEmptyTextAndOneNotice) {
    EXPECT_EQ(tables.Enc("", ""), "");
    EXPECT_EQ(tables.Enc("   ", ""), "");
    EXPECT_TRUE(notices.empty());

    EXPECT_EQ(tables.Enc("Abc", ""), "");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "65");

    EXPECT_EQ(tables.DesEnc("zq", ""), "");
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1], "Divisi\xF3n por cero122");
}

TEST(Cp1252CaseTest, UpperCasesLettersAndLeavesTheRest) {
    EXPECT_EQ(ToUpperCp1252("az AZ 09"), "AZ AZ 09");
    EXPECT_EQ(UpperCp1252(0xE9), 0xC9);  // e acute
    EXPECT_EQ(UpperCp1252(0xF1), 0xD1);  // n tilde
    EXPECT_EQ(UpperCp1252(0xFE), 0xDE);  // thorn
    EXPECT_EQ(UpperCp1252(0x9A), 0x8A);  // s caron
    EXPECT_EQ(UpperCp1252(0x9C), 0x8C);  // oe
    EXPECT_EQ(UpperCp1252(0x9E), 0x8E);  // z caron
    EXPECT_EQ(UpperCp1252(0xFF), 0x9F);  // y diaeresis
    for (int unchanged : {0xF7, 0xDF, 0xB5, 0xAA, 0xBA, 0x81, 0x8D, 0xC9, 0x00, 0x7F})
        EXPECT_EQ(UpperCp1252(static_cast<std::uint8_t>(unchanged)), unchanged) << unchanged;
}

TEST(KeyDerivationTest, RepeatsUpperCasesAndRaisesByPosition) {
    Result<std::string> key = DeriveKey("abc");
    ASSERT_TRUE(key.ok());
    const std::string repeated = "ABCABCABCABCABC";
    ASSERT_EQ(key->size(), 15u);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(Code((*key)[i]), Code(repeated[i]) + i + 1) << i;

    EXPECT_EQ(DeriveKey("ABCabc").value(), key.value());
    EXPECT_EQ(DeriveKey("abcabcabcabcabcZZZ").value(), key.value());
    EXPECT_EQ(DeriveKey("x").value(), DeriveKey("XXXXXXXXXXXXXXX").value());
    EXPECT_FALSE(DeriveKey("").ok());
}

TEST(KeyDerivationTest, RefusesCodesAbove255InsteadOfWrapping) {
    // The division sign (247) is fine up to position 8: 247 + 8 = 255.
    Result<std::string> at_eight = DeriveKey(
        "1234567\xF7"
        "abcdefg");
    ASSERT_TRUE(at_eight.ok());
    EXPECT_EQ(Code((*at_eight)[7]), 255);
    // From position 9 on it would need 256 or more.
    EXPECT_FALSE(DeriveKey("12345678\xF7"
                           "abcdef")
                     .ok());
    // A short password repeats it into positions 10 and 13.
    Result<std::string> repeated = DeriveKey(
        "\xF7"
        "ab");
    ASSERT_FALSE(repeated.ok());
    EXPECT_NE(repeated.error().message.find("\xF7"), std::string::npos);
    // y diaeresis upper-cases to 0x9F first and stays in range.
    EXPECT_TRUE(DeriveKey("\xFF\xFF\xFF").ok());
}

}  // namespace
}  // namespace velmora
