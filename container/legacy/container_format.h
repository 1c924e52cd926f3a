#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/cipher_tables.h"

namespace velmora {

// On-disk records of a ".zol" container: a 21-byte header, EntryCount entry
// records whose name field is 64, 128 or 255 bytes wide, then the data area.
// Integers are little-endian; texts are fixed-width, space-padded, cut at
// their width. Records are written and read field by field.

inline constexpr std::size_t kHeaderSize = 21;
inline constexpr std::size_t kPasswordCheckWidth = kKeyLength;

struct ContainerHeader {
    std::uint8_t FolderAttributes = 0;
    std::int32_t EntryCount = 0;
    std::uint8_t NameWidthCode = 0;
    std::string PasswordCheck;  // written as a fixed text of 15
};

struct EntryRecord {
    std::string EncodedName;  // written as a fixed text of the record's width
    std::uint8_t EntryAttributes = 0;
    std::uint8_t ParentAttributes = 0;
    std::int32_t EntrySize = 0;  // -1 for a folder entry
};

// Name field width (64, 128, 255) and record size (70, 134, 261) of a width
// code 0, 1 or 2.
std::size_t NameWidth(std::uint8_t name_width_code);
std::size_t RecordSize(std::uint8_t name_width_code);

// Left-justifies text into exactly width bytes: padded with spaces, or cut.
std::string FixedText(std::string_view text, std::size_t width);

std::array<std::uint8_t, kHeaderSize> SerializeHeader(const ContainerHeader& header);
ContainerHeader ParseHeader(const std::uint8_t* bytes);  // reads kHeaderSize bytes

std::vector<std::uint8_t> SerializeRecord(const EntryRecord& record, std::uint8_t name_width_code);
// Writes the RecordSize(name_width_code) bytes of a record to out.
void WriteRecord(const EntryRecord& record, std::uint8_t name_width_code, std::uint8_t* out);
// Reads RecordSize(name_width_code) bytes.
EntryRecord ParseRecord(const std::uint8_t* bytes, std::uint8_t name_width_code);

// The width code for a set of entries, from the lengths of their FULL paths
// (the encoded folder's own path included): 2 if any is longer than 128, else
// 1 if any is longer than 64, else 0.
std::uint8_t ChooseNameWidthCode(const std::vector<std::size_t>& full_path_lengths);

// The attribute byte as stored in a record of the given width code: records
// of width code 1 store any value above 32 as 32; the others keep it.
std::uint8_t StoredAttribute(std::uint8_t attributes, std::uint8_t name_width_code);

// The header's check value: the key encoded with itself, left-justified into
// 15 bytes.
std::string MakePasswordCheck(const CipherTables& tables, const std::string& key);

// True when the 15 stored bytes are exactly the check value of this key. All
// 15 bytes are compared, so a check value that begins or ends with a space
// still opens with its own key.
bool PasswordMatches(const CipherTables& tables, const std::string& stored_check,
                     const std::string& key);

// True when the check value of this key begins or ends with a space: the
// trimmed comparison used by other readers of the format could not verify it.
bool PasswordCheckHasEdgeSpace(const CipherTables& tables, const std::string& key);

// True when the format cannot use this key: its check value begins or ends
// with a space, or it encodes the backslash that begins every stored name
// as a space (a second key character of code 196, from a-circumflex typed
// second), so no name could be stored exactly.
bool KeyUnusableByFormat(const CipherTables& tables, const std::string& key);

}  // namespace velmora
