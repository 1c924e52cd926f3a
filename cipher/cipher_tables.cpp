#include "cipher/cipher_tables.h"

#include <stdexcept>
#include <utility>

#include "base/cp1252.h"
#include "base/messages.h"

namespace velmora {
namespace {

// Length of the text once leading and trailing spaces (code 32 only) are
// removed.
std::size_t TrimmedLength(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return 0;
    const auto last = text.find_last_not_of(' ');
    return last - first + 1;
}

int CodeOf(char c) {
    return static_cast<unsigned char>(c);
}

}  // namespace

CipherTables::CipherTables(CipherNotifier notify) : notify_(std::move(notify)) {}

void CipherTables::CrearBuffer() {
    for (int i = 0; i < kCharTableSize; ++i)
        char_table_[i] = static_cast<char>(i & 255);
    for (int i = 1; i < kKeyIndexTableSize; ++i)
        key_index_table_[i] = static_cast<std::int16_t>(KeyPosition(i, kKeyLength));
}

char CipherTables::DimeBuffer(std::int16_t NUm) const {
    if (NUm < 0)
        return static_cast<char>(NUm & 255);
    if (NUm <= 512)
        return char_table_[NUm];
    throw std::out_of_range("DimeBuffer: index " + std::to_string(NUm) + " above 512");
}

std::string CipherTables::Shift(const std::string& dato, const std::string& Contra, int sign,
                                const std::string& failure_prefix) const {
    const std::size_t length = TrimmedLength(dato);
    std::string result;
    result.reserve(length);
    for (std::size_t i = 1; i <= length; ++i) {
        if (Contra.empty()) {
            if (notify_)
                notify_(failure_prefix + std::to_string(CodeOf(dato[i - 1])));
            return "";
        }
        result.push_back(ShiftCharacter(dato, i, Contra, sign));
    }
    return result;
}

char CipherTables::ShiftCharacter(const std::string& dato, std::size_t i, const std::string& Contra,
                                  int sign) const {
    const int p = CodeOf(Contra[KeyPosition(i, Contra.size()) - 1]);
    return DimeBuffer(static_cast<std::int16_t>(CodeOf(dato[i - 1]) + sign * p));
}

char CipherTables::EncCharacter(const std::string& dato, std::size_t i,
                                const std::string& Contra) const {
    return ShiftCharacter(dato, i, Contra, +1);
}

char CipherTables::DesEncCharacter(const std::string& dato, std::size_t i,
                                   const std::string& Contra) const {
    return ShiftCharacter(dato, i, Contra, -1);
}

std::string CipherTables::Enc(const std::string& dato, const std::string& Contra) const {
    return Shift(dato, Contra, +1, "");
}

std::string CipherTables::DesEnc(const std::string& dato, const std::string& Contra) const {
    const std::string decoded = Shift(dato, Contra, -1, Text(Msg::kDivisionByZero));
    return ToUpperCp1252(decoded);
}

}  // namespace velmora
