#include "app/password_decision.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "cipher/cipher_tables.h"
#include "container/legacy/container_format.h"
#include "container/pumped_work.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {
namespace {

// A typed entry the legacy key can be made from: every character has a
// Windows-1252 code and none is a control character.
bool Usable(const TypedPassword& typed) {
    return typed && std::none_of(typed->begin(), typed->end(), [](char c) {
               return IsControlCode(static_cast<unsigned char>(c));
           });
}

// A typed entry a sealed key can be made from: any character, as UTF-8.
bool UsableSealed(const TypedPassword& typed) {
    return typed && IsValidUtf8(*typed);
}

// Characters, not bytes: every byte of UTF-8 but the continuation ones
// begins one.
std::size_t Utf8Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

PasswordDecision Refuse(std::string message, MessageIcon icon, std::string second_box = "") {
    PasswordDecision refused;
    refused.message = std::move(message);
    refused.icon = icon;
    refused.second_box = std::move(second_box);
    return refused;
}

// The sealed kind's rules. Nothing is upper-cased: the password is taken
// exactly as typed, so a box that is kept keeps what was typed.
PasswordDecision DecideSealed(DialogMode mode, const TypedPassword& first,
                              const TypedPassword& second, const SealedUnlock& unlock) {
    const bool sealing = mode == DialogMode::kSealing;
    if (!UsableSealed(first) || (sealing && !UsableSealed(second)))
        return Refuse(Text(Msg::kPasswordUnusableCharacters), MessageIcon::kCritical);
    const std::string& typed_first = *first;
    const std::string typed_second = second.value_or("");
    if (typed_first.empty())
        return Refuse(Text(Msg::kWrongPassword), MessageIcon::kCritical, typed_second);
    if (typed_first.size() > kLongestSealedPassword)
        return Refuse(Text(Msg::kPasswordTooManyBytes, {std::to_string(kLongestSealedPassword)}),
                      MessageIcon::kInformation, typed_second);

    if (sealing) {
        if (Utf8Characters(typed_first) < kShortestSealedPassword)
            return Refuse(Text(Msg::kPasswordTooShort, {std::to_string(kShortestSealedPassword)}),
                          MessageIcon::kInformation, typed_second);
        if (typed_first != typed_second)
            return Refuse(Text(Msg::kPasswordsDiffer), MessageIcon::kCritical);
        PasswordDecision accepted;
        accepted.sealed_password = typed_first;
        return accepted;
    }

    Result<std::shared_ptr<const SealedKeys>> keys =
        unlock ? unlock(typed_first)
               : Result<std::shared_ptr<const SealedKeys>>(WrongPasswordError());
    if (!keys && keys.error().message.empty()) {
        PasswordDecision declined;
        declined.declined = true;
        return declined;
    }
    if (!keys) {
        const bool wrong = FaultOf(keys.error()) == SealedFault::kWrongPassword;
        return Refuse(wrong ? Text(Msg::kWrongPassword) : keys.error().message,
                      MessageIcon::kCritical, typed_second);
    }
    PasswordDecision accepted;
    accepted.sealed_keys = std::move(keys).value();
    accepted.first_box = typed_first;
    accepted.second_box = typed_second;
    return accepted;
}

}  // namespace

DialogMode ModeFromTag(const std::string& tag) {
    // The tag is read as a number, as the dialog always has: " 2" and "2.0"
    // decode too.
    const double value = std::strtod(tag.c_str(), nullptr);
    if (value == 2.0)
        return DialogMode::kDecoding;
    if (value == 3.0)
        return DialogMode::kSealing;
    if (value == 4.0)
        return DialogMode::kOpeningSealed;
    return DialogMode::kEncoding;
}

int FirstBoxLimit(DialogMode mode) {
    return IsSealedMode(mode) ? 0 : static_cast<int>(kFirstBoxLimit);
}

EnterInPasswordBox OnEnter(DialogMode mode, int box) {
    return !SecondBoxShown(mode) || box == 1 ? EnterInPasswordBox::kPressOk
                                             : EnterInPasswordBox::kFocusSecondBox;
}

SealedUnlock PumpedUnlock(const SealedHeader& header, std::function<void()> pump,
                          CostlyKeyConsent consent) {
    return [header, pump = std::move(pump), consent = std::move(consent)](
               const std::string& password) -> Result<std::shared_ptr<const SealedKeys>> {
        if (SealedKeyDerivationCostly(header.parameters) &&
            !consent(CostlyKeyText(header.parameters)))
            return Error{""};
        Result<SealedKeys> keys = Error{""};
        RunWhilePumping(pump, [&] { keys = SealedKeys::Derive(password, header); });
        if (!keys)
            return keys.error();
        if (Status unlocked = keys->Unlock(header); !unlocked)
            return unlocked.error();
        return std::make_shared<const SealedKeys>(std::move(keys).value());
    };
}

PasswordDecision DecidePassword(const CipherTables& tables, DialogMode mode,
                                const TypedPassword& first, const TypedPassword& second,
                                const std::string& stored_check, const SealedUnlock& unlock) {
    if (IsSealedMode(mode))
        return DecideSealed(mode, first, second, unlock);
    const bool encoding = mode == DialogMode::kEncoding;
    if (!Usable(first) || (encoding && !Usable(second)))
        return Refuse(Text(Msg::kPasswordUnusableCharacters), MessageIcon::kCritical);

    const std::string upper_first = ToUpperCp1252(*first);
    const std::string typed_second = second.value_or("");
    if (upper_first.empty())
        return Refuse(Text(Msg::kWrongPassword), MessageIcon::kCritical, typed_second);
    const std::string upper_second = ToUpperCp1252(typed_second);
    if (encoding && upper_first.size() < kShortestPassword)
        return Refuse(Text(Msg::kPasswordTooShort, {std::to_string(kShortestPassword)}),
                      MessageIcon::kInformation, upper_second);
    if (encoding && upper_first.size() > kFirstBoxLimit)
        return Refuse(Text(Msg::kPasswordTooLong, {std::to_string(kFirstBoxLimit)}),
                      MessageIcon::kInformation, upper_second);

    const Result<std::string> key = DeriveKey(upper_first);
    if (!key)
        return Refuse(key.error().message, MessageIcon::kCritical);

    if (!encoding) {
        if (!PasswordMatches(tables, stored_check, key.value()))
            return Refuse(Text(Msg::kWrongPassword), MessageIcon::kCritical, upper_second);
        PasswordDecision accepted;
        accepted.key = key.value();
        accepted.first_box = upper_first;
        accepted.second_box = upper_second;
        return accepted;
    }
    if (upper_first != upper_second)
        return Refuse(Text(Msg::kPasswordsDiffer), MessageIcon::kCritical);
    if (KeyUnusableByFormat(tables, key.value()))
        return Refuse(Text(Msg::kPasswordUnusableByFormat), MessageIcon::kCritical);
    PasswordDecision accepted;
    accepted.key = key.value();
    return accepted;
}

namespace {

// The middle of the default's measured cost (docs/sealed-format.md).
constexpr double kDefaultSeconds = 0.8;

}  // namespace

long EstimatedDerivationSeconds(const SealedParameters& parameters) {
    const double asked = double(parameters.opslimit) * double(parameters.memlimit);
    const double usual = double(kSealedDefaultOpsLimit) * double(kSealedDefaultMemLimit);
    return std::max(1L, std::lround(kDefaultSeconds * asked / usual));
}

std::string CostlyKeyText(const SealedParameters& parameters) {
    const std::uint64_t mebibytes = (parameters.memlimit + (std::uint64_t{1} << 19)) >> 20;
    return Text(Msg::kCostlyKey, {std::to_string(mebibytes), std::to_string(parameters.opslimit),
                                  std::to_string(EstimatedDerivationSeconds(parameters))});
}

}  // namespace velmora
