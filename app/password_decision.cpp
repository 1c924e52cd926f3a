#include "app/password_decision.h"

#include <algorithm>
#include <cstdlib>

#include "base/cp1252_case.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "cipher/key_derivation.h"
#include "container/legacy/password_check.h"

namespace velmora {
namespace {

// A typed entry the key can be made from: every character has a
// Windows-1252 code and none is a control character.
bool Usable(const TypedPassword& typed) {
    return typed && std::none_of(typed->begin(), typed->end(), [](char c) {
               return IsControlCode(static_cast<unsigned char>(c));
           });
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

std::string SealedPasswordRefusal(std::string_view first, std::string_view second) {
    if (!IsValidUtf8(first))
        return Text(Msg::kPasswordUnusableCharacters);
    std::size_t characters = 0;
    for (const char c : first)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++characters;
    if (characters < kShortestSealedPassword)
        return Text(Msg::kPasswordTooShort, {std::to_string(kShortestSealedPassword)});
    if (first.size() > kLongestSealedPassword)
        return Text(Msg::kSealedPasswordTooLong, {std::to_string(kLongestSealedPassword)});
    if (first != second)
        return Text(Msg::kPasswordsDiffer);
    return "";
}

}  // namespace velmora
