#include "cli/password_prompt.h"

#include <cerrno>
#include <filesystem>

#include "base/messages.h"
#include "base/utf8.h"

namespace velmora {

Result<std::string> PasswordPrompt::Line(const std::string& prompt, LineText text) {
    switch (source_.kind) {
        case PasswordSource::Kind::kTerminal:
            return ReadHiddenLine(prompt, text);
        case PasswordSource::Kind::kStdin:
            return ReadInputLine(text);
        case PasswordSource::Kind::kDescriptor:
            return ReadDescriptorLine(source_.descriptor, text);
        case PasswordSource::Kind::kFile:
            break;
    }
    if (!file_opened_) {
        file_opened_ = true;
        const std::u8string path(source_.file.begin(), source_.file.end());
        file_.open(std::filesystem::path(path), std::ios::binary);
    }
    if (!file_.is_open())
        return Error{Text(Msg::kPasswordFileUnreadable, {ShownUtf8(source_.file)})};
    return ReadStreamLine(file_, text);
}

// A password holding characters Windows-1252 lacks is not an error of the
// terminal: the password rules refuse it with the dialog's own message.
Result<TypedPassword> PasswordPrompt::Ask(const std::string& prompt) {
    Result<std::string> line = Line(prompt, LineText::kWindows1252);
    if (!line) {
        if (line.error().code == EILSEQ)
            return TypedPassword();
        return line.error();
    }
    return TypedPassword(std::move(line).value());
}

Result<std::string> PasswordPrompt::AskUtf8(const std::string& prompt) {
    return Line(prompt, LineText::kUtf8);
}

}  // namespace velmora
