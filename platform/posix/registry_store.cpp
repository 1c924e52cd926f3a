#include "platform/posix/registry_store.h"

#include <stdio.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/cp1252.h"

namespace velmora {

RegistryStore::RegistryStore(std::string file) : file_(std::move(file)) {
    std::ifstream in(file_, std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        keys_ = ReadRegedit(text.str());
    }
}

std::string RegistryStore::DefaultFile() {
    const char* data_home = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string base =
        data_home && *data_home ? data_home : std::string(home ? home : ".") + "/.local/share";
    return base + "/velmora/registry.reg";
}

const std::string* RegistryStore::Existing(const std::string& path) const {
    const std::string wanted = ToUpperCp1252(path);
    for (const auto& [key, values] : keys_.keys)
        if (ToUpperCp1252(key) == wanted)
            return &key;
    return nullptr;
}

std::string RegistryStore::Create(const std::string& path) {
    std::string spelled;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string prefix = path.substr(0, end);
        const std::string* existing = Existing(prefix);
        spelled = existing
                      ? *existing
                      : (spelled.empty() ? "" : spelled + "\\") + path.substr(start, end - start);
        keys_.keys[spelled];
        start = end + 1;
    }
    return spelled;
}

std::optional<std::string> RegistryStore::PathOf(Key key, const std::string& subkey) const {
    std::string base;
    if (key != kClassesRoot) {
        const auto it = handles_.find(key);
        if (it == handles_.end())
            return std::nullopt;
        base = it->second;
    }
    if (subkey.empty())
        return base;
    return base.empty() ? subkey : base + "\\" + subkey;
}

Registry::Key RegistryStore::NewHandle(const std::string& path) {
    const Key handle = next_handle_++;
    handles_[handle] = path;
    return handle;
}

long RegistryStore::Save() const {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(file_).parent_path(), error);
    const std::string temporary = file_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << WriteRegedit(keys_);
        out.flush();
        if (!out)
            return kAccessDenied;
    }
    if (std::rename(temporary.c_str(), file_.c_str()) != 0) {
        std::remove(temporary.c_str());
        return kAccessDenied;
    }
    return kSuccess;
}

long RegistryStore::RegCreateKeyA(Key root, const std::string& subkey, Key& result) {
    const std::optional<std::string> path = PathOf(root, subkey);
    if (!path || path->empty())
        return kInvalidHandle;
    result = NewHandle(Create(*path));
    return Save();
}

long RegistryStore::RegSetValueA(Key key, const std::string& subkey, std::uint32_t type,
                                 const std::string& data, std::uint32_t) {
    const std::optional<std::string> path = PathOf(key, subkey);
    if (!path || path->empty())
        return kInvalidHandle;
    if (type != kString)
        return kInvalidHandle;
    keys_.keys[Create(*path)][""] = data;
    return Save();
}

long RegistryStore::RegOpenKeyExA(Key root, const std::string& subkey, std::uint32_t, std::uint32_t,
                                  Key& result) {
    const std::optional<std::string> path = PathOf(root, subkey);
    if (!path)
        return kInvalidHandle;
    const std::string* existing = Existing(*path);
    if (!existing)
        return kFileNotFound;
    result = NewHandle(*existing);
    return kSuccess;
}

long RegistryStore::RegCreateKeyExA(Key root, const std::string& subkey, std::uint32_t,
                                    std::uint32_t, std::uint32_t, Key& result,
                                    std::uint32_t& disposition) {
    const std::optional<std::string> path = PathOf(root, subkey);
    if (!path || path->empty())
        return kInvalidHandle;
    disposition = Existing(*path) ? 2 : 1;  // opened an existing key : created a new one
    result = NewHandle(Create(*path));
    return Save();
}

long RegistryStore::RegSetValueExA(Key key, const std::string& value_name, std::uint32_t,
                                   std::uint32_t type, const std::string& data) {
    const auto it = handles_.find(key);
    if (it == handles_.end() || type != kString)
        return kInvalidHandle;
    keys_.keys[it->second][value_name] = data;
    return Save();
}

long RegistryStore::RegCloseKey(Key key) {
    return handles_.erase(key) ? kSuccess : kInvalidHandle;
}

std::optional<std::string> RegistryStore::DefaultValue(const std::string& key) const {
    const std::string* existing = Existing(key);
    if (!existing)
        return std::nullopt;
    const auto& values = keys_.keys.at(*existing);
    const auto it = values.find("");
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

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
