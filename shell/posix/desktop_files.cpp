#include "shell/posix/desktop_files.h"

#include <sstream>
#include <vector>

namespace velmora {
namespace {

// Launchers read "%" as the start of a field code; "%%" is one "%".
std::string PercentDoubled(const std::string& text) {
    std::string doubled;
    for (const char c : text)
        doubled += c == '%' ? std::string("%%") : std::string(1, c);
    return doubled;
}

// A key file's value is itself an escaped string: every backslash doubles.
std::string KeyFileEscaped(const std::string& text) {
    std::string escaped;
    for (const char c : text)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

}  // namespace

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string InDoubleQuotes(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string ActionExecArgument(const std::string& text) {
    return KeyFileEscaped(ShellQuote(PercentDoubled(text)));
}

std::string KeyFileListItem(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == ';')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string DesktopExecArgument(const std::string& text) {
    const std::string quoted = "\"" + InDoubleQuotes(PercentDoubled(text)) + "\"";
    return KeyFileEscaped(quoted);
}

std::string XmlText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string MergeMimeApps(const std::string& existing, const std::string& mime_type,
                          const std::string& desktop_file) {
    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };
    std::vector<Section> sections = {{"", {}}};
    std::istringstream in(existing);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[' && line.back() == ']')
            sections.push_back({line.substr(1, line.size() - 2), {}});
        else
            sections.back().lines.push_back(line);
    }
    auto set = [&](const std::string& section_name, const std::string& value) {
        Section* section = nullptr;
        for (Section& s : sections)
            if (s.name == section_name)
                section = &s;
        if (!section) {
            std::vector<std::string>& before = sections.back().lines;
            if (!before.empty() && !before.back().empty())
                before.push_back("");
            sections.push_back({section_name, {}});
            section = &sections.back();
        }
        const std::string entry = mime_type + "=" + value;
        for (std::string& l : section->lines) {
            if (l.rfind(mime_type + "=", 0) == 0) {
                l = entry;
                return;
            }
        }
        auto last = section->lines.end();
        while (last != section->lines.begin() && (last - 1)->empty())
            --last;
        section->lines.insert(last, entry);
    };
    set("Default Applications", desktop_file);
    set("Added Associations", desktop_file + ";");

    std::string out;
    for (const Section& section : sections) {
        if (!section.name.empty())
            out += "[" + section.name + "]\n";
        for (const std::string& l : section.lines)
            out += l + "\n";
    }
    return out;
}

std::string RemoveMimeAppsType(const std::string& existing, const std::string& mime_type) {
    std::istringstream in(existing);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (line.rfind(mime_type + "=", 0) != 0)
            out += line + "\n";
    return out;
}

}  // namespace velmora
