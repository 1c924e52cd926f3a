#pragma once

#include <string>

#include "app/password_decision.h"
#include "base/result.h"

namespace velmora {

// Where passwords come from: the terminal without echo, or one line of
// standard input.
class PasswordPrompt {
  public:
    explicit PasswordPrompt(bool from_stdin) : from_stdin_(from_stdin) {}

    // One password as typed, in Windows-1252 (nothing when it holds
    // characters Windows-1252 lacks); an error when nothing can be read.
    Result<TypedPassword> Ask(const std::string& prompt);
    // One password exactly as typed, in UTF-8, for the sealed kind.
    Result<std::string> AskUtf8(const std::string& prompt);

    bool interactive() const { return !from_stdin_; }

  private:
    bool from_stdin_;
};

}  // namespace velmora
