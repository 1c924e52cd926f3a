// How a POSIX system writes and shows the program's paths.
#include "platform/posix/posix_file_system.h"

#include <errno.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "platform/names.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {

Result<std::string> PosixPathCodec::NativeForm(const std::string& path) const {
    return NativePath(path, coding_);
}

std::string PosixPathCodec::DisplayPath(const std::string& path) const {
    std::string shown = path;
    Result<std::string> native = NativePath(path, coding_);
    if (native && native.value() != shown)
        shown = ShownUtf8(native.value());
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return EscapeControlBytes(shown);
}

Result<std::string> PosixPathCodec::CurrentFolder() const {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return SystemError(errno, Msg::kCannotFindCurrentFolder, ".");
    return OutsidePath(buffer, coding_);
}

Result<std::string> PosixPathCodec::ProgramFolder() const {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n < 0)
        return SystemError(errno, Msg::kCannotFindProgramFolder, "/proc/self/exe");
    std::string exe(buffer, static_cast<std::size_t>(n));
    const auto slash = exe.find_last_of('/');
    std::string folder = slash == 0 ? "/" : exe.substr(0, slash);
    return ProgramPath(folder, coding_);
}

std::size_t PosixPathCodec::CharacterCount(const std::string& path) const {
    return PathCharacters(path, coding_);
}

// Names are stored as UTF-8: a Windows-1252 character takes one to three
// bytes.
std::size_t PosixPathCodec::NativeNameSize(const std::string& name) const {
    if (coding_ == NameCoding::kUtf8)
        return name.size();
    Result<std::string> native = Cp1252ToUtf8(name);
    return native ? native->size() : std::string::npos;
}

Result<std::size_t> PosixPathCodec::NativePathSize(const std::string& path) const {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    return native->size();
}

}  // namespace velmora
