#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace velmora {

inline constexpr std::size_t kKeyLength = 15;

// Turns a typed password (Windows-1252 codes, at least one character) into the
// 15-character key: upper-cased, repeated end to end to 15 characters, and
// each character raised by its 1-based position. A password that would need a
// code above 255 somewhere (only the division sign at positions 9 to 15 can)
// is refused rather than wrapped.
Result<std::string> DeriveKey(const std::string& password);

// The keys a container's check value allows. The check value is the key
// encoded with itself: c_i = (k_i + k_p) mod 256 with p = KeyPosition(i, 15),
// that is k_(i+1) and, for i = 15, k_1. The system is a cycle of odd length,
// so its alternating sum c_1 - c_2 + c_3 - ... + c_15 is 2 k_1 mod 256: an
// odd sum means no key gives these bytes (a damaged check value); an even
// one gives k_1 up to 128, and each next character follows from the one
// before it. So there are always two keys or none, the two differing by 128
// in every character; both reproduce the check value, and what the key
// encodes elsewhere (the "\" that begins every stored name) tells them
// apart. A check value of any length but 15 allows none.
std::vector<std::string> KeysFromCheckValue(std::string_view check);

// The 1-based key position that shifts character i (1-based) of a text,
// for a key of `key_length` characters: the key is applied from its second
// character on, and its first shifts every key_length-th character. The
// string cipher, the stored names and (through KeyIndexTable, for the key length) the
// file contents all follow it.
inline std::size_t KeyPosition(std::size_t i, std::size_t key_length) {
    return i % key_length + 1;
}

// Receives the one notice the string cipher can give: the text of a modal
// message with a single OK button. The main window shows it; tests record it.
using CipherNotifier = std::function<void(const std::string& text)>;

// The two translation tables and the additive string cipher built on them.
// One object owns the tables for the whole run (the main window's); nothing
// here is global. CrearBuffer must run before anything else is used.
class CipherTables {
  public:
    static constexpr int kCharTableSize = 513;
    static constexpr int kKeyIndexTableSize = 65537;

    explicit CipherTables(CipherNotifier notify);

    // Fills the character table (entry i = code i AND 255) and KeyIndexTable
    // (entry i = (i mod 15) + 1 for 1..65536; entry 0 stays 0).
    void CrearBuffer();

    // The character whose code is NUm mod 256, for NUm from -32768 to 512.
    // Above 512 the table index is out of range: std::out_of_range.
    char DimeBuffer(std::int16_t NUm) const;

    // Shifts each character of dato by the password's codes, starting at the
    // password's second character. Only as many characters as the
    // space-trimmed text has are encoded. An empty password with a non-empty
    // text gives "" and one notice (the code of the current character).
    std::string Enc(const std::string& dato, const std::string& Contra) const;

    // The inverse of Enc, upper-cased. The failure notice is
    // "División por cero" followed by the code of the current character.
    std::string DesEnc(const std::string& dato, const std::string& Contra) const;

    // Character i (1-based) of Enc(dato, Contra), for a text measured as
    // Enc measures it; Contra must not be empty.
    char EncCharacter(const std::string& dato, std::size_t i, const std::string& Contra) const;
    // Likewise for the inverse shift, before upper-casing (the stored names
    // are decoded one character at a time).
    char DesEncCharacter(const std::string& dato, std::size_t i, const std::string& Contra) const;

    std::int16_t KeyIndexTable(int index) const { return key_index_table_.at(index); }

  private:
    // Character i (1-based) of dato shifted by its key character, up
    // (sign +1) or down (-1).
    char ShiftCharacter(const std::string& dato, std::size_t i, const std::string& Contra,
                        int sign) const;
    // The shared walk of Enc and DesEnc: sign is +1 or -1.
    std::string Shift(const std::string& dato, const std::string& Contra, int sign,
                      const std::string& failure_prefix) const;

    CipherNotifier notify_;
    std::array<char, kCharTableSize> char_table_{};
    std::array<std::int16_t, kKeyIndexTableSize> key_index_table_{};
};

}  // namespace velmora
