#include "container/stored_names.h"

#include <algorithm>
#include <string_view>

#include "cipher/cp1252_case.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

Error Unsafe(const std::string& name, const std::string& why) {
    return Error{
        "El contenedor est\xE1 da\xF1"
        "ado o no es seguro: el nombre \xAB" +
        name + "\xBB " + why};
}

Status CheckName(const DecodedEntry& entry) {
    const std::string& name = entry.name;
    if (name.empty() || name[0] != '\\')
        return Unsafe(name, "no empieza por \\.");
    const bool folder = entry.size == -1;
    if (folder != (name.back() == '\\'))
        return Unsafe(name, folder ? "es una carpeta que no termina en \\."
                                   : "es un archivo que termina en \\.");
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127 || c == ':' || c == '/')
            return Unsafe(name, "contiene caracteres no permitidos.");
    }
    if (name.back() == ' ')
        return Unsafe(name, "termina en espacio.");
    if (name == "\\")
        return Status::Ok();
    // Components between the leading "\" and the end (or the final "\").
    const std::string inner = name.substr(1, folder ? name.size() - 2 : std::string::npos);
    std::size_t start = 0;
    while (start <= inner.size()) {
        const std::size_t end = std::min(inner.find('\\', start), inner.size());
        const std::string component = inner.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return Unsafe(name,
                          "tiene una parte vac\xED"
                          "a, \xAB.\xBB o \xAB..\xBB.");
        start = end + 1;
    }
    return Status::Ok();
}

}  // namespace

std::string DecodeStoredName(const std::string& field, const std::string& key, bool folder) {
    std::size_t length = field.find_last_not_of(' ');
    length = length == std::string::npos ? 0 : length + 1;
    std::string name;
    auto decode_through = [&](std::size_t count) {
        for (std::size_t i = name.size() + 1; i <= count; ++i) {
            const auto shift = static_cast<unsigned char>(key[i % key.size()]);
            name.push_back(static_cast<char>(static_cast<unsigned char>(field[i - 1]) - shift));
        }
    };
    if (key.empty())
        return "";
    decode_through(length);
    while (folder && (name.empty() || name.back() != '\\') && length < field.size())
        decode_through(++length);
    return ToUpperCp1252(name);
}

// Names and folders are checked through sorted views into the entries'
// names, so the check copies no name, whatever the number of entries.
Status CheckDecodedEntries(const std::vector<DecodedEntry>& entries) {
    // The first entry, in entry order, whose name an earlier entry has.
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (const int c = entries[a].name.compare(entries[b].name); c != 0)
            return c < 0;
        return a < b;
    });
    std::size_t first_repeat = entries.size();
    for (std::size_t k = 1; k < order.size(); ++k)
        if (entries[order[k]].name == entries[order[k - 1]].name)
            first_repeat = std::min(first_repeat, order[k]);
    bool has_root_entry = false;
    std::vector<std::string_view> folders = {"\\"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const DecodedEntry& entry = entries[i];
        if (Status checked = CheckName(entry); !checked)
            return checked;
        if (i == first_repeat)
            return Unsafe(entry.name, "aparece dos veces.");
        const std::string_view name = entry.name;
        const std::string_view folder =
            entry.size == -1 ? name : name.substr(0, name.rfind('\\') + 1);
        has_root_entry = has_root_entry || folder == "\\";
        folders.push_back(folder);
    }
    if (!has_root_entry)
        return Error{
            "El contenedor est\xE1 da\xF1"
            "ado: no tiene ninguna entrada en su carpeta "
            "principal."};
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    auto is_name = [&](std::string_view name) {
        const auto it = std::lower_bound(order.begin(), order.end(), name,
                                         [&](std::size_t i, std::string_view n) {
                                             return std::string_view(entries[i].name) < n;
                                         });
        return it != order.end() && entries[*it].name == name;
    };
    for (const std::string_view folder : folders) {
        if (folder == "\\")
            continue;
        const std::string_view without_slash = folder.substr(0, folder.size() - 1);
        if (is_name(without_slash))
            return Unsafe(std::string(without_slash), "es un archivo y a la vez una carpeta.");
        const std::string_view parent = without_slash.substr(0, without_slash.rfind('\\') + 1);
        if (!std::binary_search(folders.begin(), folders.end(), parent))
            return Unsafe(std::string(folder), "est\xE1 en una carpeta que el contenedor no crea.");
    }
    return Status::Ok();
}

}  // namespace velmora
