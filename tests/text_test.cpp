#include <gtest/gtest.h>

#include <string>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"

namespace velmora {
namespace {

bool Undefined(int code) {
    return code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D;
}

TEST(Cp1252Test, EveryDefinedCodeRoundTripsAndTheFiveUndefinedAreRefused) {
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        const Result<std::string> utf8 = Cp1252ToUtf8(one);
        const Result<std::wstring> utf16 = Cp1252ToUtf16(one);
        EXPECT_EQ(IsUndefinedCp1252(static_cast<unsigned char>(code)), Undefined(code)) << code;
        ASSERT_EQ(utf8.ok(), !Undefined(code)) << code;
        ASSERT_EQ(utf16.ok(), !Undefined(code)) << code;
        if (Undefined(code))
            continue;
        EXPECT_EQ(Utf8ToCp1252(utf8.value()).value(), one) << code;
        EXPECT_EQ(Utf16ToCp1252(utf16.value()).value(), one) << code;
        EXPECT_EQ(Utf16ToUtf8(utf16.value()), utf8.value()) << code;
        // 0x80-0x9F are the page's own letters and signs, never the C1
        // controls of the same numbers.
        const auto character = static_cast<unsigned>(utf16->at(0));
        EXPECT_FALSE(character >= 0x80 && character < 0xA0) << code;
    }
    EXPECT_EQ(Cp1252ToUtf8("\x80\x8A\x9F\xF1").value(), "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xC3\xB1");
    EXPECT_EQ(Cp1252ToUtf16("\x80\x9F\xF1").value(), L"\u20AC\u0178\u00F1");
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)).value(), std::string("a\0b", 3));
}

TEST(Cp1252Test, TextsWithoutAWindows1252FormAreRefused) {
    struct Case {
        const char* what;
        std::string utf8;
        bool well_formed;  // UTF-8 that UTF-16 can take
    };
    const Case refused[] = {
        {"a with macron", "a\xC4\x81", true},
        {"the C1 control U+0081", "\xC2\x81", true},
        {"an emoji", "\xF0\x9F\x98\x80", true},
        {"a cut two-byte form", "a\xC3", false},
        {"a cut three-byte form", "\xE2\x82", false},
        {"an overlong slash", "\xC0\xAF", false},
        {"an overlong three-byte form", "\xE0\x80\xAF", false},
        {"a surrogate", "\xED\xA0\x80", false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
        {"a lone continuation byte", "\x80", false},
        {"a byte UTF-8 never uses", "a\xFF", false},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(Utf8ToCp1252(c.utf8).ok()) << c.what;
        EXPECT_EQ(Utf8ToUtf16(c.utf8).ok(), c.well_formed) << c.what;
    }
    EXPECT_FALSE(Utf16ToCp1252(L"\u0100").ok());
    EXPECT_FALSE(Utf16ToCp1252(L"\u0081").ok());
    EXPECT_FALSE(Utf16ToCp1252(std::wstring(1, static_cast<wchar_t>(0xD83D))).ok());
}

TEST(Cp1252Test, Utf8AndUtf16RoundTripAndALoneSurrogateIsReplaced) {
    const std::string text = "a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, n tilde, euro, emoji
    const Result<std::wstring> wide = Utf8ToUtf16(text);
    ASSERT_TRUE(wide.ok());
    EXPECT_EQ(wide->size(), 5u);  // the emoji takes two units
    EXPECT_EQ(Utf16ToUtf8(wide.value()), text);
    std::wstring lone = L"a";
    lone.push_back(static_cast<wchar_t>(0xDC00));
    EXPECT_EQ(Utf16ToUtf8(lone), "a\xEF\xBF\xBD");
}

TEST(Cp1252Test, TheShownFormsNeverFail) {
    EXPECT_EQ(DisplayUtf8("\x81"
                          "a\xF1"),
              "?a\xC3\xB1");
    EXPECT_EQ(DisplayUtf16("\x81"
                           "a\x80"),
              L"?a\u20AC");
    // A marked character (a name Windows-1252 cannot write) is given back.
    EXPECT_EQ(DisplayUtf8("\x81\xC5\x81\x81\xF0\x9F\x98\x80\x81\xC2\x9B"),
              "\xC5\x81\xF0\x9F\x98\x80?\xC3\x82\xE2\x80\xBA");
    EXPECT_EQ(DisplayUtf16("\x81\xE6\x97\xA5\x81\xF0\x9F\x98\x80"),
              Utf8ToUtf16("\xE6\x97\xA5\xF0\x9F\x98\x80").value());
    // Each character without a form is one "?"; malformed UTF-8 is all "?".
    EXPECT_EQ(DisplayCp1252("caf\xC3\xA9 \xC4\x81 \xF0\x9F\x98\x80"), "caf\xE9 ? ?");
    EXPECT_EQ(DisplayCp1252("bien\xC3"), "?");
    EXPECT_EQ(DisplayCp1252(""), "");
    // From UTF-16 one per unit: the emoji's two units are two.
    EXPECT_EQ(Cp1252ForMessage(Utf8ToUtf16("\xC3\xB1\xC4\x81\xF0\x9F\x98\x80").value()), "\xF1???");
}

TEST(Cp1252CaseTest, UpperCasesLettersAndLeavesTheRest) {
    // a-z, e acute, n tilde, thorn, s caron, oe, z caron, y diaeresis; then
    // division sign, sharp s, micro, ordinals, undefined codes and others.
    EXPECT_EQ(ToUpperCp1252(std::string("az AZ 09\xE9\xF1\xFE\x9A\x9C\x9E\xFF"
                                        "\xF7\xDF\xB5\xAA\xBA\x81\x8D\xC9\x00\x7F",
                                        25)),
              std::string("AZ AZ 09\xC9\xD1\xDE\x8A\x8C\x8E\x9F"
                          "\xF7\xDF\xB5\xAA\xBA\x81\x8D\xC9\x00\x7F",
                          25));
}

TEST(NameTextTest, AStoredNameHoldsNoControlColonSlashOrUndefinedCode) {
    int storable = 0;
    for (int code = 0; code < 256; ++code)
        storable += IsStorableNameCode(static_cast<unsigned char>(code));
    EXPECT_EQ(storable, 256 - 32 - 1 - 2 - 5);
    for (const int code : {0x00, 0x1F, 0x7F, int{':'}, int{'/'}, 0x81, 0x9D})
        EXPECT_FALSE(IsStorableNameCode(static_cast<unsigned char>(code))) << code;
    for (const int code : {int{' '}, int{'\\'}, int{'.'}, 0x80, 0x8E, 0xA0, 0xFF})
        EXPECT_TRUE(IsStorableNameCode(static_cast<unsigned char>(code))) << code;
}

TEST(NameTextTest, ControlBytesAreShownEscaped) {
    const std::string text("a\x01\n\x7F\xF1\0z", 7);
    EXPECT_EQ(EscapeControlBytes(text), "a\\x01\\x0A\\x7F\xF1\\x00z");
    EXPECT_EQ(EscapeControlBytes(text, true), "a\\x01\n\\x7F\xF1\\x00z");
    EXPECT_EQ(ShownName("\\CARPETA\\\x1B[2J"), "\\CARPETA\\\\x1B[2J");
}

TEST(Utf8TextTest, JsonStringsEscapeWhatJsonAndTerminalsMustNotSeeAndKeepTheRest) {
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"Łódź/日本.txt", "\"Łódź/日本.txt\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {std::string("\n\t\x1B\0\x7F", 5), "\"\\n\\t\\u001b\\u0000\\u007f\""},
        {"\xC2\x85 \xE2\x80\xAE \xE2\x80\xA8", "\"\\u0085 \\u202e \\u2028\""},
        {"x\xFF\xC3", "\"x\\udcff\\udcc3\""},           // not UTF-8
        {"\xED\xA0\x80", "\"\\udced\\udca0\\udc80\""},  // a surrogate's bytes
        {"", "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

// Typed on any system, a password gives the same bytes: spaces made ASCII,
// the text in NFC (not NFKC); or it is refused with its message. The answers
// are Debian's utf8proc's, which the Windows build's must give under Wine.
TEST(PasswordTextTest, SpacesBecomeAsciiTheTextNfcAndMalformedOrControlRefused) {
    struct Case {
        const char* what;
        std::string typed;
        std::string prepared;  // or the refusal's text
    };
    const Case cases[] = {
        {"ASCII", "Contrase~a 123!", "Contrase~a 123!"},
        {"e, acute accent", "cafe\xCC\x81", "caf\xC3\xA9"},
        {"e acute", "caf\xC3\xA9", "caf\xC3\xA9"},
        {"Angstrom sign, a singleton", "\u212B", "\u00C5"},
        {"a, dot above, dot below", "a\xCC\x87\xCC\xA3", "\xE1\xBA\xA1\xCC\x87"},
        {"no-break space", "a\u00A0b", "a b"},
        {"ideographic space", "\u3000x\u3000", " x "},
        {"Hangul jamo", "\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8", "\xEA\xB0\x81"},
        {"ligature fi", "\xEF\xAC\x81", "\xEF\xAC\x81"},
        {"empty", "", Text(Msg::kPasswordEmpty)},
        {"cut short", "a\xC3", Text(Msg::kPasswordNotUtf8)},
        {"Windows-1252",
         "contrase\xF1"
         "a",
         Text(Msg::kPasswordNotUtf8)},
        {"tab", "a\tb", Text(Msg::kPasswordCharactersNotAdmitted)},
        {"NUL", std::string("a\0b", 3), Text(Msg::kPasswordCharactersNotAdmitted)},
        {"C1 next line", "a\xC2\x85", Text(Msg::kPasswordCharactersNotAdmitted)},
        {"unassigned U+0378", "\xCD\xB8", Text(Msg::kPasswordCharactersNotAdmitted)},
    };
    for (const Case& c : cases) {
        const Result<std::string> prepared = OpaqueStringPassword(c.typed);
        EXPECT_EQ(prepared ? prepared.value() : prepared.error().message, c.prepared) << c.what;
    }
}

}  // namespace
}  // namespace velmora
