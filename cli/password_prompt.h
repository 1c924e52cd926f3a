#pragma once

#include <fstream>
#include <string>

#include "app/password_decision.h"
#include "base/result.h"
#include "cli/console.h"

namespace velmora {

// Where passwords come from: the terminal without echo, or one line each
// of standard input, of a file or of an open descriptor.
struct PasswordSource {
    enum class Kind { kTerminal, kStdin, kFile, kDescriptor };
    Kind kind = Kind::kTerminal;
    std::string file;     // kFile: the path as given (UTF-8)
    int descriptor = -1;  // kDescriptor
};

class PasswordPrompt {
  public:
    explicit PasswordPrompt(PasswordSource source) : source_(std::move(source)) {}

    // One password as typed, in Windows-1252 (nothing when it holds
    // characters Windows-1252 lacks); an error when nothing can be read.
    Result<TypedPassword> Ask(const std::string& prompt);
    // One password exactly as typed, in UTF-8, for the sealed kind.
    Result<std::string> AskUtf8(const std::string& prompt);

    bool interactive() const { return source_.kind == PasswordSource::Kind::kTerminal; }

  private:
    // The next line of the source; a file is opened once, at the first.
    Result<std::string> Line(const std::string& prompt, LineText text);

    PasswordSource source_;
    std::ifstream file_;
    bool file_opened_ = false;
};

}  // namespace velmora
