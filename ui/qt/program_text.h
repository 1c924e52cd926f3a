#pragma once

#include <QString>
#include <optional>
#include <string>

#include "base/cp1252.h"

namespace velmora {

// The program's Windows-1252 texts shown by Qt, and typed text taken back;
// nothing when a character has no Windows-1252 code.
inline QString FromProgramText(const std::string& cp1252) {
    return QString::fromStdString(DisplayUtf8(cp1252));
}
inline std::optional<std::string> ToProgramText(const QString& text) {
    Result<std::string> converted = Utf8ToCp1252(text.toStdString());
    if (!converted)
        return std::nullopt;
    return converted.value();
}

}  // namespace velmora
