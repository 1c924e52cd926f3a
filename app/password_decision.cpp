#include "app/password_decision.h"

#include <algorithm>
#include <cstdlib>

#include "base/messages.h"
#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "container/legacy/password_check.h"

namespace velmora {
namespace {

bool IsControlCharacter(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 32 || code == 127;
}

// A typed entry the key can be made from: every character has a
// Windows-1252 code and none is a control character.
bool Usable(const TypedPassword& typed) {
    return typed && std::none_of(typed->begin(), typed->end(), IsControlCharacter);
}

PasswordDecision Refuse(std::string message, MessageIcon icon, std::string second_box = "") {
    PasswordDecision refused;
    refused.message = std::move(message);
    refused.icon = icon;
    refused.second_box = std::move(second_box);
    return refused;
}

}  // namespace

DialogMode ModeFromTag(const std::string& tag) {
    // The tag is read as a number, as the dialog always has: " 2" and "2.0"
    // decode too.
    return std::strtod(tag.c_str(), nullptr) == 2.0 ? DialogMode::kDecoding : DialogMode::kEncoding;
}

EnterInPasswordBox OnEnter(DialogMode mode, int box) {
    return mode == DialogMode::kDecoding || box == 1 ? EnterInPasswordBox::kPressOk
                                                     : EnterInPasswordBox::kFocusSecondBox;
}

PasswordDecision DecidePassword(const CipherTables& tables, DialogMode mode,
                                const TypedPassword& first, const TypedPassword& second,
                                const std::string& stored_check) {
    const bool encoding = mode == DialogMode::kEncoding;
    if (!Usable(first) || (encoding && !Usable(second)))
        return Refuse(
            "La contrase\xF1"
            "a tiene caracteres que no se pueden usar. Escr\xED"
            "bala sin ellos.",
            MessageIcon::kCritical);

    const std::string upper_first = ToUpperCp1252(*first);
    const std::string typed_second = second.value_or("");
    if (upper_first.empty())
        return Refuse(Text(Msg::kWrongPassword), MessageIcon::kCritical, typed_second);
    const std::string upper_second = ToUpperCp1252(typed_second);
    if (encoding && upper_first.size() < 3)
        return Refuse(
            "La contrase\xF1"
            "a debe tener al menos 3 caracteres.",
            MessageIcon::kInformation, upper_second);
    if (encoding && upper_first.size() > kFirstBoxLimit)
        return Refuse(
            "La contrase\xF1"
            "a puede tener como m\xE1ximo 15 caracteres.",
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
        return Refuse(
            "Las contrase\xF1"
            "as son diferentes.",
            MessageIcon::kCritical);
    if (KeyUnusableByFormat(tables, key.value()))
        return Refuse(
            "Esta contrase\xF1"
            "a no se puede usar con este formato. Elija otra contrase\xF1"
            "a.",
            MessageIcon::kCritical);
    PasswordDecision accepted;
    accepted.key = key.value();
    return accepted;
}

}  // namespace velmora
