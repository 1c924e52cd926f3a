#include "container/stored_names.h"

#include <set>

#include "cipher/cipher_tables.h"
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
            const auto shift = static_cast<unsigned char>(key[KeyPosition(i, key.size()) - 1]);
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

Status CheckDecodedEntries(const std::vector<DecodedEntry>& entries) {
    std::set<std::string> names;
    std::set<std::string> folders = {"\\"};
    bool has_root_entry = false;
    for (const DecodedEntry& entry : entries) {
        if (Status checked = CheckName(entry); !checked)
            return checked;
        if (!names.insert(entry.name).second)
            return Unsafe(entry.name, "aparece dos veces.");
        std::string folder =
            entry.size == -1 ? entry.name : entry.name.substr(0, entry.name.rfind('\\') + 1);
        has_root_entry = has_root_entry || folder == "\\";
        folders.insert(folder);
    }
    if (!has_root_entry)
        return Error{
            "El contenedor est\xE1 da\xF1"
            "ado: no tiene ninguna entrada en su carpeta "
            "principal."};
    for (const std::string& folder : folders) {
        if (folder == "\\")
            continue;
        const std::string without_slash = folder.substr(0, folder.size() - 1);
        if (names.count(without_slash))
            return Unsafe(without_slash, "es un archivo y a la vez una carpeta.");
        const std::string parent = without_slash.substr(0, without_slash.rfind('\\') + 1);
        if (!folders.count(parent))
            return Unsafe(folder, "est\xE1 en una carpeta que el contenedor no crea.");
    }
    return Status::Ok();
}

}  // namespace velmora
