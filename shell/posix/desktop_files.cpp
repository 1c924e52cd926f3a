#include "shell/posix/desktop_files.h"

#include <cstdint>
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

namespace {

std::uint32_t Little(const std::string& bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    return value;
}

}  // namespace

std::optional<IconImage> LargestPngImage(const std::string& ico) {
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    if (ico.size() < kHeader || Little(ico, 0, 2) != 0 || Little(ico, 2, 2) != 1)
        return std::nullopt;
    const std::size_t count = Little(ico, 4, 2);
    if (ico.size() < kHeader + count * kEntry)
        return std::nullopt;
    std::optional<IconImage> best;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeader + i * kEntry;
        const int width =
            Little(ico, entry, 1) == 0 ? 256 : static_cast<int>(Little(ico, entry, 1));
        const std::size_t length = Little(ico, entry + 8, 4);
        const std::size_t offset = Little(ico, entry + 12, 4);
        if (offset > ico.size() || length > ico.size() - offset)
            continue;
        const std::string data = ico.substr(offset, length);
        if (data.rfind("\x89PNG\r\n\x1a\n", 0) != 0)
            continue;
        if (!best || width > best->size)
            best = IconImage{width, data};
    }
    return best;
}

}  // namespace velmora
