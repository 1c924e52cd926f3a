#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "container/host.h"

namespace velmora {

// The password dialog's two modes, carried in its tag: "2" decodes (the
// password typed once and checked against the container), anything else
// encodes (typed twice).
enum class DialogMode { kEncoding, kDecoding };
DialogMode ModeFromTag(const std::string& tag);

// What one password box holds, in Windows-1252; nothing when a typed
// character has no Windows-1252 code.
using TypedPassword = std::optional<std::string>;

// The outcome of pressing "Ok": either the key, or the message to show with
// its icon. Either way, what each box holds afterwards (upper-cased, kept or
// emptied); after a refusal the focus goes back to the first box.
struct PasswordDecision {
    std::string key;
    std::string message;
    MessageIcon icon = MessageIcon::kCritical;
    std::string first_box;
    std::string second_box;

    bool accepted() const { return !key.empty(); }
};

// The fewest characters a password to encode with has; the most the first
// box takes (only a terminal can give a longer entry).
inline constexpr std::size_t kShortestPassword = 3;
inline constexpr std::size_t kFirstBoxLimit = kKeyLength;

// The dialog's rules, shared by every view of it and by velmora-cli. In
// encoding mode the password must have 3 to 15 characters and both entries
// must agree (case-insensitive); in decoding mode it must reproduce
// `stored_check`. Control characters, characters outside Windows-1252 and
// keys the container format cannot use are refused with their own
// messages.
PasswordDecision DecidePassword(const CipherTables& tables, DialogMode mode,
                                const TypedPassword& first, const TypedPassword& second,
                                const std::string& stored_check);

// The sealed kind's rules for a new password, as typed (UTF-8): at least
// kShortestSealedPassword characters (characters, not bytes), at most
// kLongestSealedPassword bytes, any characters, upper and lower case apart;
// both entries equal. The message of the first rule broken, "" when none.
inline constexpr std::size_t kShortestSealedPassword = 8;
inline constexpr std::size_t kLongestSealedPassword = 1024;
std::string SealedPasswordRefusal(std::string_view first, std::string_view second);

// Enter in a password box presses "Ok" when decoding or in the second box;
// in the first box when encoding it moves on to the second. Either way the
// key itself goes nowhere.
enum class EnterInPasswordBox { kPressOk, kFocusSecondBox };
EnterInPasswordBox OnEnter(DialogMode mode, int box);

// Only one box shows when decoding.
inline bool SecondBoxShown(DialogMode mode) {
    return mode == DialogMode::kEncoding;
}

}  // namespace velmora
