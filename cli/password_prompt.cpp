#include "cli/password_prompt.h"

#include "cli/console.h"

namespace velmora {

Result<TypedPassword> PasswordPrompt::Ask(const std::string& prompt) {
    Result<std::string> line = from_stdin_ ? ReadInputLine() : ReadHiddenLine(prompt);
    if (line)
        return TypedPassword(std::move(line).value());
    // An entry with characters Windows-1252 lacks is still an entry: the
    // password decision refuses it with its own message.
    if (line.error().message == kUnusablePassword)
        return TypedPassword();
    return line.error();
}

}  // namespace velmora
