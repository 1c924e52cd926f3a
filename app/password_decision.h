#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "cipher/cipher_tables.h"
#include "container/host.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// The password dialog's modes, carried in its tag as a number: "2" decodes
// a legacy container (the password typed once and checked against it), "3"
// seals a folder (typed twice), "4" opens a sealed container (typed once);
// anything else encodes a folder in the legacy kind (typed twice).
enum class DialogMode { kEncoding, kDecoding, kSealing, kOpeningSealed };
inline constexpr const char* kEncodingTag = "1";
inline constexpr const char* kDecodingTag = "2";
inline constexpr const char* kSealingTag = "3";
inline constexpr const char* kOpeningSealedTag = "4";
DialogMode ModeFromTag(const std::string& tag);

inline bool IsSealedMode(DialogMode mode) {
    return mode == DialogMode::kSealing || mode == DialogMode::kOpeningSealed;
}

// How the boxes' text reaches the rules: the legacy kind's passwords are
// Windows-1252 (its key is made of those codes), the sealed kind's UTF-8,
// any character as typed.
enum class PasswordCoding { kWindows1252, kUtf8 };
inline PasswordCoding CodingOf(DialogMode mode) {
    return IsSealedMode(mode) ? PasswordCoding::kUtf8 : PasswordCoding::kWindows1252;
}

// What one password box holds, in the mode's coding; nothing when a typed
// character has no form in it.
using TypedPassword = std::optional<std::string>;

// Checks a typed password (UTF-8) against the sealed container being
// opened: its keys when they open it, the wrong password's error
// (SealedFault::kWrongPassword) when they do not.
using SealedUnlock =
    std::function<Result<std::shared_ptr<const SealedKeys>>(const std::string& password)>;

// Asked before a key whose header asks more than four times the default's
// cost (SealedKeyDerivationCostly) is derived, given what the header asks
// (CostlyKeyText, Windows-1252): true derives it, false derives nothing.
using CostlyKeyConsent = std::function<bool(const std::string& cost)>;

// The check of the container with this header: the keys are derived on a
// worker thread while `pump` lets the windows' events run (the derivation
// takes the better part of a second). A costly derivation is put to
// `consent` first; declined, the check gives the empty error at once.
SealedUnlock PumpedUnlock(const SealedHeader& header, std::function<void()> pump,
                          CostlyKeyConsent consent);

// The outcome of pressing "Ok": what the work needs (the legacy key, the
// password to seal with, or the keys of the sealed container to open), or
// the message to show with its icon. Either way, what each box holds
// afterwards (in the mode's coding: kept, upper-cased or emptied); after a
// refusal the focus goes back to the first box. `declined`: the user
// declined a costly key's derivation; nothing is to be done.
struct PasswordDecision {
    std::string key;
    std::string sealed_password;
    std::shared_ptr<const SealedKeys> sealed_keys;
    std::string message;
    MessageIcon icon = MessageIcon::kCritical;
    std::string first_box;
    std::string second_box;
    bool declined = false;

    bool accepted() const { return !key.empty() || !sealed_password.empty() || sealed_keys; }
};

// The fewest characters a password to encode with has; the most the first
// box takes (only a terminal can give a longer entry).
inline constexpr std::size_t kShortestPassword = 3;
inline constexpr std::size_t kFirstBoxLimit = kKeyLength;
// A password to seal with: at least this many characters, and at most this
// many bytes of UTF-8, in both sealed modes.
inline constexpr std::size_t kShortestSealedPassword = 8;
inline constexpr std::size_t kLongestSealedPassword = 1024;

// The characters the first box takes in a mode; 0 for no limit.
int FirstBoxLimit(DialogMode mode);

// The dialog's rules, shared by every view of it and by velmora-cli.
// Legacy encoding: the password must have 3 to 15 characters and both
// entries must agree (case-insensitive); legacy decoding: it must reproduce
// `stored_check`. Control characters, characters outside Windows-1252 and
// keys the container format cannot use are refused with their own messages.
// Sealing: at least 8 characters, at most 1,024 bytes, both entries
// exactly equal (case and every character count); opening a sealed
// container: at most 1,024 bytes, and `unlock` must accept it (its empty
// error: declined). In every mode an empty first box is a wrong password.
PasswordDecision DecidePassword(const CipherTables& tables, DialogMode mode,
                                const TypedPassword& first, const TypedPassword& second,
                                const std::string& stored_check, const SealedUnlock& unlock = {});

// Enter in a password box presses "Ok" when decoding or in the second box;
// in the first box when encoding it moves on to the second. Either way the
// key itself goes nowhere.
enum class EnterInPasswordBox { kPressOk, kFocusSecondBox };
EnterInPasswordBox OnEnter(DialogMode mode, int box);

// Only one box shows when decoding.
inline bool SecondBoxShown(DialogMode mode) {
    return mode == DialogMode::kEncoding || mode == DialogMode::kSealing;
}

// About how many seconds deriving a key with these limits takes: the
// default's measured cost (3 passes over 256 MiB, 0.73 to 0.87 s) scaled by
// passes times memory; at least 1.
long EstimatedDerivationSeconds(const SealedParameters& parameters);

// What a header asking for a costly derivation (SealedKeyDerivationCostly)
// asks, said before anything is derived: the memory in MiB, the passes and
// about how long it would take (Windows-1252).
std::string CostlyKeyText(const SealedParameters& parameters);

}  // namespace velmora
