#include "cli/password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/names.h"

namespace velmora {

Result<TypedPassword> PasswordPrompt::Ask(const std::string& prompt) {
    std::string line;
    if (from_stdin_) {
        if (!std::getline(std::cin, line))
            return Error{
                "No se ha recibido ninguna contrase\xF1"
                "a."};
    } else {
        std::fprintf(stderr, "%s", DisplayUtf8(prompt).c_str());
        std::fflush(stderr);
        termios saved{};
        const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
        if (terminal) {
            termios quiet = saved;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
        const bool read = static_cast<bool>(std::getline(std::cin, line));
        if (terminal)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fprintf(stderr, "\n");
        if (!read)
            return Error{
                "No se ha recibido ninguna contrase\xF1"
                "a."};
    }
    // A line ending copied from a Windows text ends the entry, as Enter does.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    Result<std::string> cp1252 = Utf8ToCp1252(line);
    if (!cp1252)
        return TypedPassword();
    return TypedPassword(std::move(cp1252).value());
}

}  // namespace velmora
