#include "platform/posix/regedit_file.h"

#include <sstream>

namespace velmora {
namespace {

constexpr const char* kRoot = "HKEY_CLASSES_ROOT\\";

std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// Reads a quoted string starting at text[start] == '"'; npos on failure.
std::size_t Unquote(const std::string& text, std::size_t start, std::string& out) {
    out.clear();
    for (std::size_t i = start + 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            out += text[++i];
        } else if (text[i] == '"') {
            return i + 1;
        } else {
            out += text[i];
        }
    }
    return std::string::npos;
}

}  // namespace

std::string WriteRegedit(const RegeditKeys& keys) {
    std::string text = "REGEDIT4\r\n";
    for (const auto& [key, values] : keys.keys) {
        text += "\r\n[" + std::string(kRoot) + key + "]\r\n";
        for (const auto& [name, data] : values)
            text += (name.empty() ? std::string("@") : Quote(name)) + "=" + Quote(data) + "\r\n";
    }
    return text;
}

RegeditKeys ReadRegedit(const std::string& text) {
    RegeditKeys result;
    std::istringstream lines(text);
    std::string line;
    std::string* current = nullptr;
    std::string current_key;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            const std::string path = line.substr(1, line.size() - 2);
            if (path.rfind(kRoot, 0) == 0) {
                current_key = path.substr(std::string(kRoot).size());
                result.keys[current_key];
                current = &current_key;
            } else {
                current = nullptr;
            }
            continue;
        }
        if (!current)
            continue;
        std::string name;
        std::size_t equals;
        if (!line.empty() && line[0] == '@') {
            equals = 1;
        } else if (!line.empty() && line[0] == '"') {
            equals = Unquote(line, 0, name);
        } else {
            continue;
        }
        if (equals == std::string::npos || equals + 1 >= line.size() || line[equals] != '=' ||
            line[equals + 1] != '"')
            continue;
        std::string data;
        if (Unquote(line, equals + 1, data) != std::string::npos)
            result.keys[*current][name] = data;
    }
    return result;
}

}  // namespace velmora
