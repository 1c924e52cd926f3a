#pragma once

#include <string>

#include "base/result.h"

namespace velmora {

// Where passwords come from: the terminal without echo, or one line of
// standard input.
class PasswordPrompt {
  public:
    explicit PasswordPrompt(bool from_stdin) : from_stdin_(from_stdin) {}

    // One password as typed, in Windows-1252; an error when it cannot be
    // read or holds characters Windows-1252 lacks.
    Result<std::string> Ask(const std::string& prompt);

    bool interactive() const { return !from_stdin_; }

  private:
    bool from_stdin_;
};

// The password dialog's rules for encoding, on two typed entries: the key,
// or the dialog's message.
Result<std::string> KeyForEncoding(const std::string& first, const std::string& second);

}  // namespace velmora
