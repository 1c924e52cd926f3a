#include "cli/password_prompt.h"

#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "cli/console.h"

namespace velmora {

Result<std::string> PasswordPrompt::Ask(const std::string& prompt) {
    return from_stdin_ ? ReadInputLine() : ReadHiddenLine(prompt);
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
