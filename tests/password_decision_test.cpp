#include <gtest/gtest.h>

#include "app/password_decision.h"
#include "cipher/key_derivation.h"
#include "container/legacy/password_check.h"

namespace velmora {
namespace {

const std::string kWrong =
    "Contrase\xF1"
    "a incorrecta.";
const std::string kShort =
    "La contrase\xF1"
    "a debe tener al menos 3 caracteres.";
const std::string kDifferent =
    "Las contrase\xF1"
    "as son diferentes.";
const std::string kCharacters =
    "La contrase\xF1"
    "a tiene caracteres que no se pueden usar. Escr\xED"
    "bala sin ellos.";
const std::string kFormat =
    "Esta contrase\xF1"
    "a no se puede usar con este formato. Elija otra contrase\xF1"
    "a.";

struct Case {
    DialogMode mode;
    TypedPassword first;
    TypedPassword second;
    std::string message;  // "" when accepted; a prefix otherwise
    MessageIcon icon;
    std::string first_box;
    std::string second_box;
};

constexpr DialogMode kEnc = DialogMode::kEncoding;
constexpr DialogMode kDec = DialogMode::kDecoding;
constexpr MessageIcon kStop = MessageIcon::kCritical;
constexpr MessageIcon kInfo = MessageIcon::kInformation;

TEST(PasswordDecisionTest, RefusalsGiveTheirMessageIconAndBoxes) {
    CipherTables tables(nullptr);
    tables.CrearBuffer();
    // A container written with "abcabc": "ABC" gives the same key.
    const std::string stored = MakePasswordCheck(tables, DeriveKey("abcabc").value());
    const Case cases[] = {
        // Empty upper box, both modes: only the upper box is emptied.
        {kEnc, "", "algo", kWrong, kStop, "", "algo"},
        {kDec, "", "", kWrong, kStop, "", ""},
        // Length counts only when encoding; the lower box is upper-cased.
        {kEnc, "ab", "zz", kShort, kInfo, "", "ZZ"},
        {kDec, "ab", "", kWrong, kStop, "", ""},
        {kDec, "otra", "", kWrong, kStop, "", ""},
        {kEnc, "abc", "abd", kDifferent, kStop, "", ""},
        // Only a terminal can give more than the upper box takes.
        {kEnc, "abcdefghijklmnop", "abcdefghijklmnop",
         "La contrase\xF1"
         "a puede tener",
         kInfo, "", "ABCDEFGHIJKLMNOP"},
        // No Windows-1252 code, or control characters, in either mode.
        {kEnc, std::nullopt, "abc", kCharacters, kStop, "", ""},
        {kEnc, "abc", std::nullopt, kCharacters, kStop, "", ""},
        {kEnc, std::string("cla\0ve", 6), std::string("cla\0ve", 6), kCharacters, kStop, "", ""},
        {kEnc, "cla\x1bve", "cla\x1bve", kCharacters, kStop, "", ""},
        {kDec, "ab\rc", "", kCharacters, kStop, "", ""},
        {kDec, "abc\x7f", "", kCharacters, kStop, "", ""},
        // The division sign where the key would need a code above 255.
        {kEnc, "abcdefgh\xF7", "abcdefgh\xF7",
         "Esta contrase\xF1"
         "a no se puede usar:",
         kStop, "", ""},
        // Keys the format cannot use: every stored name's "\" would become a
        // space (a-circumflex second, either case), or the check value would
        // begin with one.
        {kEnc, "x\xE2yz", "X\xC2YZ", kFormat, kStop, "", ""},
        {kEnc, "\xE2\xE2\xE2", "\xE2\xE2\xE2", kFormat, kStop, "", ""},
        {kEnc, "\xC0]x", "\xC0]x", kFormat, kStop, "", ""},
    };
    for (const Case& c : cases) {
        const PasswordDecision decision = DecidePassword(tables, c.mode, c.first, c.second, stored);
        const std::string label = c.first.value_or("<no code>");
        EXPECT_FALSE(decision.accepted()) << label;
        EXPECT_EQ(decision.message.substr(0, c.message.size()), c.message) << label;
        EXPECT_EQ(decision.icon, c.icon) << label;
        EXPECT_EQ(decision.first_box, c.first_box) << label;
        EXPECT_EQ(decision.second_box, c.second_box) << label;
    }
}

TEST(PasswordDecisionTest, AcceptedPasswordsGiveTheKeyInAnyCase) {
    CipherTables tables(nullptr);
    tables.CrearBuffer();
    const std::string stored = MakePasswordCheck(tables, DeriveKey("abcabc").value());

    const PasswordDecision encoded = DecidePassword(tables, kEnc, "Secreto", "sECRETO", "");
    EXPECT_EQ(encoded.key, DeriveKey("SECRETO").value());
    EXPECT_TRUE(encoded.first_box.empty() && encoded.second_box.empty());
    // "a" + circumflex elsewhere than second is an ordinary character.
    EXPECT_TRUE(DecidePassword(tables, kEnc, "\xE2xyz", "\xE2xyz", "").accepted());

    // Decoding: a shorter password written out twice opens it; the upper box
    // keeps its upper-cased text and the hidden box is not looked at.
    const PasswordDecision decoded = DecidePassword(tables, kDec, "abc", "\x1b", stored);
    EXPECT_EQ(decoded.key, DeriveKey("ABC").value());
    EXPECT_EQ(decoded.first_box, "ABC");
}

TEST(PasswordDecisionTest, TheTagIsReadAsANumber) {
    for (const char* tag : {"2", " 2", "2.0"})
        EXPECT_EQ(ModeFromTag(tag), DialogMode::kDecoding) << tag;
    for (const char* tag : {"1", "", "12", "x2"})
        EXPECT_EQ(ModeFromTag(tag), DialogMode::kEncoding) << tag;
}

}  // namespace
}  // namespace velmora
