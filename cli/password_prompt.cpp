#include "cli/password_prompt.h"

#include <cerrno>

#include "cli/console.h"

namespace velmora {

// A password holding characters Windows-1252 lacks is not an error of the
// terminal: the password rules refuse it with the dialog's own message.
Result<TypedPassword> PasswordPrompt::Ask(const std::string& prompt) {
    Result<std::string> line = from_stdin_ ? ReadInputLine(LineText::kWindows1252)
                                           : ReadHiddenLine(prompt, LineText::kWindows1252);
    if (!line) {
        if (line.error().code == EILSEQ)
            return TypedPassword();
        return line.error();
    }
    return TypedPassword(std::move(line).value());
}

Result<std::string> PasswordPrompt::AskUtf8(const std::string& prompt) {
    return from_stdin_ ? ReadInputLine(LineText::kUtf8) : ReadHiddenLine(prompt, LineText::kUtf8);
}

}  // namespace velmora
