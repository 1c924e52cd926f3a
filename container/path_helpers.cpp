#include "container/path_helpers.h"

namespace velmora {
namespace {

// Number of characters up to and including the last "\" (0 when none).
std::size_t PrefixThroughLastBackslash(std::string_view path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string Nombre(const std::string& Archivito) {
    return Archivito.substr(PrefixThroughLastBackslash(Archivito));
}

std::string_view recortar(std::string_view path) {
    return path.substr(0, PrefixThroughLastBackslash(path));
}

std::string TrimSpaces(const std::string& text) {
    return std::string(TrimmedSpaces(text));
}

std::string_view TrimmedSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ParentOf(const std::string& path) {
    const std::size_t prefix = PrefixThroughLastBackslash(path);
    if (prefix <= 1)
        return prefix == 1 ? "\\" : "";
    return path.substr(0, prefix - 1);
}

}  // namespace velmora
