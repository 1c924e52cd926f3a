#include <errno.h>
#include <iconv.h>

#include <map>
#include <string>
#include <utility>

#include "platform/names.h"

namespace velmora {
namespace {

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// One conversion through iconv; fails on any code that has no form in the
// target encoding. ASCII is the same in both encodings and is passed through;
// the conversion descriptors are opened once per thread and reused.
Result<std::string> Convert(const char* to, const char* from, std::string_view text) {
    if (IsAscii(text))
        return std::string(text);
    struct Descriptor {
        iconv_t cd;
        ~Descriptor() {
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
        }
    };
    thread_local std::map<std::pair<std::string, std::string>, Descriptor> open;
    auto [it, added] = open.try_emplace({to, from}, Descriptor{reinterpret_cast<iconv_t>(-1)});
    if (added)
        it->second.cd = iconv_open(to, from);
    iconv_t cd = it->second.cd;
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Error{"No se puede convertir entre " + std::string(from) + " y " + to + ".", errno};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string out(text.size() * 4 + 4, '\0');
    char* in_ptr = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const std::size_t done = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    if (done == static_cast<std::size_t>(-1))
        return Error{"El nombre tiene caracteres que no se pueden representar.", errno};
    out.resize(out.size() - out_left);
    return out;
}

// A native name for a message: what has no Windows-1252 form shows as "?".
std::string ForMessage(std::string_view native) {
    Result<std::string> cp = Convert("CP1252//TRANSLIT", "UTF-8", native);
    return cp ? cp.value() : std::string("?");
}

}  // namespace

Result<std::string> Cp1252ToUtf8(std::string_view text) {
    return Convert("UTF-8", "CP1252", text);
}

Result<std::string> Utf8ToCp1252(std::string_view text) {
    return Convert("CP1252", "UTF-8", text);
}

std::string DisplayUtf8(std::string_view cp1252_text) {
    std::string out;
    for (const char c : cp1252_text) {
        Result<std::string> one = Cp1252ToUtf8(std::string_view(&c, 1));
        out += one ? one.value() : std::string("?");
    }
    return out;
}

Result<std::string> NativePath(std::string_view program_path) {
    Result<std::string> utf8 = Cp1252ToUtf8(program_path);
    if (!utf8)
        return utf8.error();
    std::string native = std::move(utf8.value());
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return native;
}

Result<std::string> ProgramPath(std::string_view native_path) {
    Result<std::string> cp = Utf8ToCp1252(native_path);
    if (!cp) {
        return Error{"El nombre \xAB" + ForMessage(native_path) +
                         "\xBB tiene caracteres que Velmora no puede guardar (fuera de "
                         "Windows-1252).",
                     cp.error().code};
    }
    std::string path = std::move(cp.value());
    for (char& c : path) {
        if (c == '\\') {
            return Error{"El nombre \xAB" + ForMessage(native_path) +
                         "\xBB contiene una barra invertida (\\), que Velmora no puede guardar."};
        }
        if (c == '/')
            c = '\\';
    }
    return path;
}

}  // namespace velmora
