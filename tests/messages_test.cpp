#include "base/messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/cp1252.h"

namespace velmora {
namespace {

// Every text reaches the program as Windows-1252: each accented letter one
// byte, and no character Windows-1252 lacks (it would show as "?").
TEST(MessagesTest, EveryTextIsWindows1252AndUsesItsPlacesInOrder) {
    for (int i = 0; i < static_cast<int>(Msg::kCount); ++i) {
        const auto message = static_cast<Msg>(i);
        const std::string_view written = Utf8Text(message);
        const std::string text = Text(message);
        const Result<std::string> converted = Utf8ToCp1252(written);
        // One byte a character: Utf8ToCp1252 gives no other (Cp1252Test).
        EXPECT_TRUE(converted.ok() && converted.value() == text) << i << ": " << written;
        // The places a text uses are {1} .. {n}, none skipped.
        std::set<char> places;
        for (std::size_t k = 0; k + 2 < written.size(); ++k)
            if (written[k] == '{' && written[k + 2] == '}')
                places.insert(written[k + 1]);
        char expected = '1';
        for (const char place : places)
            EXPECT_EQ(place, expected++) << i << ": " << written;
    }
}

TEST(MessagesTest, PartsGoInTheirPlacesOnceAndAreNotReadAgain) {
    EXPECT_EQ(Text(Msg::kWrongPassword), "Contrase\xF1" "a incorrecta.");
    EXPECT_EQ(Text(Msg::kQuoted, {"a\xF1o"}), "\xAB" "a\xF1o\xBB");
    // A part that looks like a place stays as it is.
    EXPECT_EQ(Text(Msg::kLeftBehind, {"{2}", "x"}), "\xAB{2}\xBB queda: x");
    // A place with no part given stays visible rather than vanishing.
    EXPECT_EQ(Text(Msg::kQuoted), "\xAB{1}\xBB");
    // A fixed text is the same text, held where a table can point at it.
    EXPECT_EQ(FixedText(Msg::kTypePasswordToEncode),
              "Escriba la contrase\xF1"
              "a:");
    EXPECT_EQ(FixedText(Msg::kCancelar).data(), FixedText(Msg::kCancelar).data());
}

}  // namespace
}  // namespace velmora
