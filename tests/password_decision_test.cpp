#include <gtest/gtest.h>

#include <tuple>

#include "app/password_decision.h"
#include "cipher/cipher_tables.h"
#include "container/legacy/container_format.h"
#include "container/sealed/sealed_keys.h"
#include "tests/sealed_support.h"

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

// The check of a container whose key is not costly: nobody is asked.
SealedUnlock CheapUnlock(
    const SealedHeader& header, std::function<void()> pump = [] {}) {
    return PumpedUnlock(header, std::move(pump), [](const std::string& cost) {
        ADD_FAILURE() << "asked about a key that is not costly: " << cost;
        return false;
    });
}

constexpr DialogMode kEnc = DialogMode::kEncoding;
constexpr DialogMode kDec = DialogMode::kDecoding;
constexpr DialogMode kSeal = DialogMode::kSealing;
constexpr DialogMode kOpen = DialogMode::kOpeningSealed;
constexpr MessageIcon kStop = MessageIcon::kCritical;
constexpr MessageIcon kInfo = MessageIcon::kInformation;

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// The two kinds of container a password is checked against: a legacy
// one's check written with "abcabc" ("ABC" gives the same key), and a sealed
// one's header; every sealed check counted.
class DecisionTest : public ::testing::Test {
  protected:
    DecisionTest() {
        tables.CrearBuffer();
        stored = MakePasswordCheck(tables, DeriveKey("abcabc").value());
    }

    CipherTables tables{nullptr};
    std::string stored;
    const std::string password = "Ábrete sésamo";
    const std::vector<std::uint8_t> container =
        SealPlaintext({1, 2, 3, 4, 5, 6, 7, 8}, password, kFastParameters);
    const SealedHeader header = DecodeSealedHeader(container.data(), container.size()).value();
    int checked = 0;
    const SealedUnlock unlock = [this, pumped = CheapUnlock(header)](const std::string& typed) {
        ++checked;
        return pumped(typed);
    };
};

// Every mode's refusals: the message, its icon, the upper box always
// emptied and the lower one as the rules say. The legacy modes count
// Windows-1252 codes and upper-case the lower box; the sealed ones count
// characters, limit the bytes of UTF-8 and keep what was typed; opening a
// sealed container checks its key against the container itself, case and
// all, and only when the password could be one.
TEST_F(DecisionTest, RefusalsGiveTheirMessageIconAndBoxes) {
    const std::string too_short =
        "La contrase\xF1"
        "a debe tener al menos 8 caracteres.";
    const std::string too_long =
        "La contrase\xF1"
        "a es demasiado larga: puede ocupar como m\xE1ximo 1024 bytes.";
    const std::string seven_cjk = "日本語のパスワ";  // 7 characters, 21 bytes
    const std::string bytes_1025 = Repeated("ñ", 512) + "a";
    const std::string not_utf8 =
        "abc\xFF"
        "defgh";
    const struct {
        DialogMode mode;
        TypedPassword first;
        TypedPassword second;
        std::string message;
        MessageIcon icon;
        std::string second_box;
        int checked = 0;  // times the container's key was checked
    } cases[] = {
        // Empty upper box, every mode: only the upper box is emptied.
        {kEnc, "", "algo", kWrong, kStop, "algo"},
        {kDec, "", "", kWrong, kStop, ""},
        {kSeal, "", "Algo", kWrong, kStop, "Algo"},
        {kOpen, "", "oculta", kWrong, kStop, "oculta"},
        // Length counts only when encoding; the lower box is upper-cased.
        {kEnc, "ab", "zz", kShort, kInfo, "ZZ"},
        {kDec, "ab", "", kWrong, kStop, ""},
        {kDec, "otra", "", kWrong, kStop, ""},
        {kEnc, "abc", "abd", kDifferent, kStop, ""},
        // Only a terminal can give more than the upper box takes.
        {kEnc, "abcdefghijklmnop", "abcdefghijklmnop",
         "La contrase\xF1"
         "a puede tener como m\xE1ximo 15 caracteres.",
         kInfo, "ABCDEFGHIJKLMNOP"},
        // No Windows-1252 code, or control characters, in either mode.
        {kEnc, std::nullopt, "abc", kCharacters, kStop, ""},
        {kEnc, "abc", std::nullopt, kCharacters, kStop, ""},
        {kEnc, std::string("cla\0ve", 6), std::string("cla\0ve", 6), kCharacters, kStop, ""},
        {kEnc, "cla\x1bve", "cla\x1bve", kCharacters, kStop, ""},
        {kDec, "ab\rc", "", kCharacters, kStop, ""},
        {kDec, "abc\x7f", "", kCharacters, kStop, ""},
        // The division sign where the key would need a code above 255.
        {kEnc, "abcdefgh\xF7", "abcdefgh\xF7",
         "Esta contrase\xF1"
         "a no se puede usar: el car\xE1"
         "cter \xAB\xF7\xBB no cabe en la clave en ese lugar. Elija otra contrase\xF1"
         "a.",
         kStop, ""},
        // Keys the format cannot use: every stored name's "\" would become a
        // space (a-circumflex second, either case), or the check value would
        // begin with one.
        {kEnc, "x\xE2yz", "X\xC2YZ", kFormat, kStop, ""},
        {kEnc, "\xC0]x", "\xC0]x", kFormat, kStop, ""},
        // Sealing: characters counted as characters, the limit as bytes.
        {kSeal, "abcdefg", "aBcdefg", too_short, kInfo, "aBcdefg"},
        {kSeal, seven_cjk, seven_cjk, too_short, kInfo, seven_cjk},
        {kSeal, bytes_1025, bytes_1025, too_long, kInfo, bytes_1025},
        {kSeal, "Contraseña1", "contraseña1", kDifferent, kStop, ""},
        {kSeal, "abcdefgh", "abcdefgh ", kDifferent, kStop, ""},
        {kSeal, std::nullopt, "abcdefgh", kCharacters, kStop, ""},
        {kSeal, "abcdefgh", std::nullopt, kCharacters, kStop, ""},
        {kSeal, not_utf8, not_utf8, kCharacters, kStop, ""},
        // Opening: the hidden lower box is kept as it was.
        {kOpen, "x", "oculta", kWrong, kStop, "oculta", 1},
        {kOpen, "ábrete sésamo", "oculta", kWrong, kStop, "oculta", 1},
        {kOpen, bytes_1025, "oculta", too_long, kInfo, "oculta"},
        {kOpen, std::nullopt, "oculta", kCharacters, kStop, ""},
    };
    for (const auto& c : cases) {
        checked = 0;
        const PasswordDecision decision =
            DecidePassword(tables, c.mode, c.first, c.second, stored, unlock);
        const std::string label =
            std::to_string(int(c.mode)) + " " + c.first.value_or("<no code>").substr(0, 40);
        EXPECT_FALSE(decision.accepted()) << label;
        EXPECT_EQ(std::tuple(decision.message, decision.icon, decision.first_box,
                             decision.second_box, checked),
                  std::tuple(c.message, c.icon, std::string(), c.second_box, c.checked))
            << label;
    }
}

// Accepted, each mode gives what its job needs: the legacy modes the key of
// the upper-cased password (decoding: a shorter password written out twice
// opens it, the upper box keeps its upper-cased text and the hidden box is
// not looked at); sealing what was typed, case and every character kept;
// opening a sealed container the keys that open it.
TEST_F(DecisionTest, AcceptedPasswordsGiveWhatTheirModeNeeds) {
    struct Case {
        DialogMode mode;
        std::string first, second;
        std::string key, sealed_password, first_box, second_box;
    };
    std::vector<Case> cases = {
        {kEnc, "Secreto", "sECRETO", DeriveKey("SECRETO").value(), "", "", ""},
        // "a" + circumflex elsewhere than second is an ordinary character.
        {kEnc, "\xE2xyz", "\xE2xyz", DeriveKey("\xC2XYZ").value(), "", "", ""},
        {kDec, "abc", "\x1b", DeriveKey("ABC").value(), "", "ABC", "\x1b"},
        {kOpen, password, "", "", "", password, ""},
    };
    for (const std::string& typed : std::vector<std::string>{
             "ñandúes!", "日本語のパスワー", Repeated("ñ", 512), Repeated("日", 341) + "a",
             std::string("Tab\tY\x01 nul\0!", 12), std::string("Łódź-hasło")})
        cases.push_back({kSeal, typed, typed, "", typed, "", ""});
    for (const Case& c : cases) {
        const PasswordDecision decision =
            DecidePassword(tables, c.mode, c.first, c.second, stored, unlock);
        EXPECT_TRUE(decision.accepted()) << c.first << ": " << decision.message;
        EXPECT_EQ(std::tuple(decision.key, decision.sealed_password, decision.first_box,
                             decision.second_box),
                  std::tuple(c.key, c.sealed_password, c.first_box, c.second_box))
            << c.first;
        ASSERT_EQ(bool(decision.sealed_keys), c.mode == kOpen) << c.first;
        EXPECT_TRUE(c.mode != kOpen || decision.sealed_keys->Unlock(header)) << c.first;
    }
}

// Without a container to check against nothing opens; a failure other than
// the wrong password is told as it is.
TEST_F(DecisionTest, OpeningTellsWhatStoppedTheCheck) {
    EXPECT_EQ(DecidePassword(tables, kOpen, password, "", "").message, kWrong);
    const SealedUnlock failing =
        [](const std::string&) -> Result<std::shared_ptr<const SealedKeys>> {
        return Error{"sin memoria"};
    };
    EXPECT_EQ(DecidePassword(tables, kOpen, password, "", "", failing).message, "sin memoria");
}

// Opening a sealed container from a fresh start derives its keys before
// anything else of the run has needed libsodium. The death test's own
// process starts afresh, so nothing has set the library up for it.
[[noreturn]] void DeriveAndExit() {
    const std::array<std::uint8_t, kSealedSaltBytes> salt{};
    std::exit(SealedKeys::Derive("contraseña", salt, kFastParameters).ok() ? 0 : 1);
}

TEST(PasswordDecisionTest, KeysCanBeTheFirstThingARunDerives) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(DeriveAndExit(), ::testing::ExitedWithCode(0), "");
}

// A header asking more than four times the default's cost (passes times
// memory) is told (memory, passes, about how long) before anything is
// derived; declined, nothing is (nothing pumped) and the decision is the
// empty refusal that ends the dialog. velmora-cli's tests derive one agreed.
TEST(PasswordDecisionTest, ACostlyKeyIsToldAndNotDerivedUnlessAgreed) {
    constexpr std::uint64_t kMiB = 1 << 20;
    const struct {
        SealedParameters parameters;
        std::string told;  // part of what is told; "" when not costly
    } cases[] = {
        {{12, 256 * kMiB, 4096}, ""},  // four times the default: the most not asked about
        {{13, 256 * kMiB, 4096},
         "256 MiB de memoria y 13 pasadas, m\xE1s de cuatro veces lo habitual: tardar\xED"
         "a unos 3 segundos."},
        {{4, 768 * kMiB, 4096}, ""},
        {{4, 768 * kMiB + 1024, 4096}, "768 MiB de memoria y 4 pasadas, "},
        {{3, 1024 * kMiB, 4096}, ""},  // the most memory there is, at the default's passes
        {{64, 1024 * kMiB, 4096},
         "y 64 pasadas, m\xE1s de cuatro veces lo habitual: tardar\xED"
         "a unos 68 segundos."},
    };
    for (const auto& c : cases) {
        const std::string label =
            std::to_string(c.parameters.opslimit) + " x " + std::to_string(c.parameters.memlimit);
        EXPECT_EQ(SealedKeyDerivationCostly(c.parameters), !c.told.empty()) << label;
        if (c.told.empty())
            continue;  // deriving it would take seconds
        std::vector<std::string> asked;
        int pumps = 0;
        const SealedUnlock unlock = PumpedUnlock(
            NewSealedHeader(c.parameters).value(), [&pumps] { ++pumps; },
            [&asked](const std::string& cost) { return asked.push_back(cost), false; });
        const PasswordDecision decision =
            DecidePassword(CipherTables(nullptr), kOpen, "contraseña", "", "", unlock);
        EXPECT_TRUE(decision.declined && !decision.accepted() && decision.message.empty()) << label;
        ASSERT_EQ(asked.size(), 1u) << label;
        EXPECT_EQ(asked[0].rfind("La cabecera del contenedor pide para derivar su clave ", 0), 0u);
        EXPECT_NE(asked[0].find(c.told), std::string::npos) << label << ": " << asked[0];
        EXPECT_EQ(pumps, 0) << label;
    }
}

TEST(PasswordDecisionTest, TheTagIsReadAsANumber) {
    for (const char* tag : {"2", " 2", "2.0"})
        EXPECT_EQ(ModeFromTag(tag), DialogMode::kDecoding) << tag;
    for (const char* tag : {"1", "", "12", "x2", "5", "-3"})
        EXPECT_EQ(ModeFromTag(tag), DialogMode::kEncoding) << tag;
    for (const char* tag : {"3", " 3.0"})
        EXPECT_EQ(ModeFromTag(tag), DialogMode::kSealing) << tag;
    EXPECT_EQ(ModeFromTag("4"), DialogMode::kOpeningSealed);
}

}  // namespace
}  // namespace velmora
