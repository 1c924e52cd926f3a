#pragma once

#include <QString>
#include <optional>
#include <string>

namespace velmora {

// The program's Windows-1252 texts shown by Qt, and typed text taken back;
// nothing when a character has no Windows-1252 code.
QString FromProgramText(const std::string& cp1252);
std::optional<std::string> ToProgramText(const QString& text);

}  // namespace velmora
