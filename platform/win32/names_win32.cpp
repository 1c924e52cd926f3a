#include <errno.h>

#include <string>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "platform/names.h"

// On Windows the native form of a path is UTF-8 with "\" between components
// (what the command line and the console give once widened); the file system
// itself is reached through UTF-16 (see win32_paths.h).
namespace velmora {
namespace {

std::string ForMessage(std::string_view utf8) {
    Result<std::wstring> wide = Utf8ToUtf16(utf8);
    return wide ? Cp1252ForMessage(wide.value()) : std::string("?");
}

}  // namespace

Result<std::string> NativePath(std::string_view program_path, NameCoding coding) {
    if (coding == NameCoding::kUtf8)
        return std::string(program_path);
    return Cp1252ToUtf8(program_path);
}

Result<std::string> ProgramPath(std::string_view native_path, NameCoding coding) {
    if (coding == NameCoding::kUtf8) {
        if (!IsValidUtf8(native_path))
            return Error{Text(Msg::kNameNotUtf8, {ShownUtf8(native_path)}), EILSEQ};
        std::string path(native_path);
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }
    Result<std::string> cp = Utf8ToCp1252(native_path);
    if (!cp)
        return UnrepresentableName(ForMessage(native_path), cp.error().code);
    std::string path = std::move(cp.value());
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

}  // namespace velmora
