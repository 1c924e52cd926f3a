#include "cli/password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "platform/names.h"

namespace velmora {

Result<std::string> PasswordPrompt::Ask(const std::string& prompt) {
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
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    Result<std::string> cp1252 = Utf8ToCp1252(line);
    if (!cp1252)
        return Error{
            "La contrase\xF1"
            "a contiene caracteres que no se pueden usar."};
    return cp1252;
}

Result<std::string> KeyForEncoding(const std::string& first, const std::string& second) {
    if (first.empty())
        return Error{
            "Contrase\xF1"
            "a incorrecta."};
    if (first.size() < 3)
        return Error{
            "La contrase\xF1"
            "a debe tener al menos 3 caracteres."};
    if (first.size() > 15)
        return Error{
            "La contrase\xF1"
            "a puede tener como m\xE1ximo 15 caracteres."};
    if (ToUpperCp1252(first) != ToUpperCp1252(second))
        return Error{
            "Las contrase\xF1"
            "as son diferentes."};
    return DeriveKey(first);
}

}  // namespace velmora
