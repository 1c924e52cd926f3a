#include <cerrno>
#include <iostream>

#include "base/cp1252.h"
#include "base/messages.h"
#include "cli/console.h"

// What the consoles of both systems share.
namespace velmora {

Result<std::string> ReadInputLine() {
    std::string line;
    if (!std::getline(std::cin, line))
        return Error{Text(Msg::kNoPasswordReceived)};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    Result<std::string> text = Utf8ToCp1252(line);
    if (!text)
        return Error{Text(Msg::kPasswordUnusableCharacters), EILSEQ};
    return text;
}

}  // namespace velmora
