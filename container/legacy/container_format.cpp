#include "container/legacy/container_format.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace velmora {
namespace {

void PutInt32(std::uint8_t* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

void PutText(std::uint8_t* out, std::string_view text, std::size_t width) {
    const std::size_t kept = std::min(text.size(), width);
    std::memcpy(out, text.data(), kept);
    std::memset(out + kept, ' ', width - kept);
}

std::string GetText(const std::uint8_t* in, std::size_t width) {
    return std::string(reinterpret_cast<const char*>(in), width);
}

}  // namespace

std::size_t NameWidth(std::uint8_t name_width_code) {
    switch (name_width_code) {
        case 0:
            return 64;
        case 1:
            return 128;
        case 2:
            return 255;
        default:
            throw std::invalid_argument("name width code above 2");
    }
}

std::size_t RecordSize(std::uint8_t name_width_code) {
    return NameWidth(name_width_code) + 6;
}

std::string FixedText(std::string_view text, std::size_t width) {
    std::string fixed(text.substr(0, width));
    fixed.resize(width, ' ');
    return fixed;
}

std::array<std::uint8_t, kHeaderSize> SerializeHeader(const ContainerHeader& header) {
    std::array<std::uint8_t, kHeaderSize> out{};
    out[0] = header.FolderAttributes;
    PutInt32(&out[1], header.EntryCount);
    out[5] = header.NameWidthCode;
    PutText(&out[6], header.PasswordCheck, kPasswordCheckWidth);
    return out;
}

ContainerHeader ParseHeader(const std::uint8_t* bytes) {
    ContainerHeader header;
    header.FolderAttributes = bytes[0];
    header.EntryCount = GetInt32(&bytes[1]);
    header.NameWidthCode = bytes[5];
    header.PasswordCheck = GetText(&bytes[6], kPasswordCheckWidth);
    return header;
}

std::vector<std::uint8_t> SerializeRecord(const EntryRecord& record, std::uint8_t name_width_code) {
    std::vector<std::uint8_t> out(RecordSize(name_width_code));
    WriteRecord(record, name_width_code, out.data());
    return out;
}

void WriteRecord(const EntryRecord& record, std::uint8_t name_width_code, std::uint8_t* out) {
    const std::size_t width = NameWidth(name_width_code);
    PutText(out, record.EncodedName, width);
    out[width] = record.EntryAttributes;
    out[width + 1] = record.ParentAttributes;
    PutInt32(&out[width + 2], record.EntrySize);
}

EntryRecord ParseRecord(const std::uint8_t* bytes, std::uint8_t name_width_code) {
    const std::size_t width = NameWidth(name_width_code);
    EntryRecord record;
    record.EncodedName = GetText(bytes, width);
    record.EntryAttributes = bytes[width];
    record.ParentAttributes = bytes[width + 1];
    record.EntrySize = GetInt32(&bytes[width + 2]);
    return record;
}

std::uint8_t ChooseNameWidthCode(const std::vector<std::size_t>& full_path_lengths) {
    std::uint8_t code = 0;
    for (const std::size_t length : full_path_lengths) {
        if (length > 128)
            return 2;
        if (length > 64)
            code = 1;
    }
    return code;
}

std::uint8_t StoredAttribute(std::uint8_t attributes, std::uint8_t name_width_code) {
    if (name_width_code == 1 && attributes > 32)
        return 32;
    return attributes;
}

std::string MakePasswordCheck(const CipherTables& tables, const std::string& key) {
    return FixedText(tables.Enc(key, key), kPasswordCheckWidth);
}

bool PasswordMatches(const CipherTables& tables, const std::string& stored_check,
                     const std::string& key) {
    return FixedText(stored_check, kPasswordCheckWidth) == MakePasswordCheck(tables, key);
}

bool PasswordCheckHasEdgeSpace(const CipherTables& tables, const std::string& key) {
    const std::string check = tables.Enc(key, key);
    return check.empty() || check.size() != key.size() || check.front() == ' ' ||
           check.back() == ' ';
}

bool KeyUnusableByFormat(const CipherTables& tables, const std::string& key) {
    return PasswordCheckHasEdgeSpace(tables, key) || tables.Enc("\\", key) == " ";
}

}  // namespace velmora
