#include "app/startup_request.h"

#include "shell/registration.h"

namespace velmora {
namespace {

std::string Unquoted(const std::string& text, const FileSystem& files) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
        text.find('"', 1) == text.size() - 1 && !files.UncreatableName("\"").empty())
        return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

StartupRequest ParseStartupLine(const std::string& line, const FileSystem& files) {
    // The sealed verb's line is looked at first: on Linux, the line for a
    // folder named "C" ends in "/C".
    const std::string sealed_prefix = kSealedCommandPrefix;
    if (line.compare(0, sealed_prefix.size(), sealed_prefix) == 0)
        return {StartupRequest::Verb::kSeal, Unquoted(line.substr(sealed_prefix.size()), files)};
    const std::string whole = Unquoted(line, files);
    if (whole.size() >= 2 && whole.compare(whole.size() - 2, 2, "/C") == 0)
        return {StartupRequest::Verb::kDecode, Unquoted(whole.substr(0, whole.size() - 2), files)};
    return {StartupRequest::Verb::kFolder, whole};
}

}  // namespace velmora
