#include <unistd.h>
#include <cerrno>
#include <iostream>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/utf8.h"
#include "cli/console.h"

// What the consoles of both systems share.
namespace velmora {

Result<std::string> LineAs(std::string line, LineText text) {
    if (text == LineText::kUtf8) {
        if (!IsValidUtf8(line))
            return Error{Text(Msg::kPasswordUnusableCharacters), EILSEQ};
        return line;
    }
    Result<std::string> cp1252 = Utf8ToCp1252(line);
    if (!cp1252)
        return Error{Text(Msg::kPasswordUnusableCharacters), EILSEQ};
    return cp1252;
}

Result<std::string> ReadStreamLine(std::istream& stream, LineText text) {
    std::string line;
    if (!std::getline(stream, line))
        return Error{Text(Msg::kNoPasswordReceived)};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return LineAs(std::move(line), text);
}

Result<std::string> ReadInputLine(LineText text) {
    return ReadStreamLine(std::cin, text);
}

Result<std::string> ReadDescriptorLine(int descriptor, LineText text) {
    std::string line;
    char byte = 0;
    long got = 0;
    while ((got = read(descriptor, &byte, 1)) == 1 && byte != '\n')
        line += byte;
    if (got < 0)
        return Error{Text(Msg::kPasswordDescriptorUnreadable, {std::to_string(descriptor)})};
    if (got == 0 && line.empty())
        return Error{Text(Msg::kNoPasswordReceived)};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return LineAs(std::move(line), text);
}

}  // namespace velmora
