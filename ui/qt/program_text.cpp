#include "ui/qt/program_text.h"

#include "base/cp1252.h"

namespace velmora {

QString FromProgramText(const std::string& cp1252) {
    return QString::fromStdString(DisplayUtf8(cp1252));
}

std::optional<std::string> ToProgramText(const QString& text) {
    Result<std::string> converted = Utf8ToCp1252(text.toStdString());
    if (!converted)
        return std::nullopt;
    return converted.value();
}

}  // namespace velmora
