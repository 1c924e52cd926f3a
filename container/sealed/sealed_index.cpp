#include "container/sealed/sealed_index.h"

#include <cassert>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "base/utf8.h"
#include "container/relative_path.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_format.h"

namespace velmora {
namespace {

template <typename Integer>
Result<Integer> ReadInteger(SealedStreamReader& stream) {
    std::uint8_t bytes[sizeof(Integer)];
    if (Status read = stream.Read(bytes, sizeof bytes); !read)
        return read.error();
    return GetLittleEndian<Integer>(bytes);
}

Error BadEntry(std::uint64_t number, const std::string& path, Msg why) {
    return DamagedError(
        Text(Msg::kSealedBadEntry, {std::to_string(number), ShownUtf8(path), Text(why)}));
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodeSealedIndex(const std::vector<SealedEntry>& entries) {
    std::vector<std::uint8_t> bytes;
    AppendLittleEndian<std::uint64_t>(bytes, entries.size());
    SealedTreeCheck check;
    for (const SealedEntry& entry : entries) {
        if (const std::optional<Msg> why = check.Admit(entry))
            return Error{Text(Msg::kSealedNameNotStorable, {ShownUtf8(entry.path), Text(*why)})};
        bytes.push_back(entry.folder ? kSealedKindFolder : kSealedKindFile);
        AppendLittleEndian(bytes, static_cast<std::uint16_t>(entry.path.size()));
        bytes.insert(bytes.end(), entry.path.begin(), entry.path.end());
        AppendLittleEndian(bytes, entry.size);
        AppendLittleEndian(bytes, entry.mtime_s);
        AppendLittleEndian(bytes, entry.mtime_ns);
        AppendLittleEndian(bytes, entry.attributes);
        AppendLittleEndian(bytes, entry.mode);
    }
    return bytes;
}

std::uint64_t SealedPlaintextLength(const std::vector<SealedEntry>& entries,
                                    std::uint64_t index_length) {
    std::uint64_t length = index_length;
    for (const SealedEntry& entry : entries)
        length += entry.size;
    return length;
}

Result<SealedIndexReader> SealedIndexReader::Begin(SealedStreamReader& stream) {
    Result<std::uint64_t> count = ReadInteger<std::uint64_t>(stream);
    if (!count)
        return count.error();
    // Entry 0, the sealed folder, is always there.
    if (count.value() == 0 || count.value() > stream.PlaintextLeftAtMost() / kSealedEntryFixedBytes)
        return DamagedError(Text(Msg::kSealedEntryCountWrong, {std::to_string(count.value())}));
    return SealedIndexReader(stream, count.value());
}

Result<SealedEntry> SealedIndexReader::Next() {
    assert(!done());
    const std::uint64_t number = next_++;
    std::uint8_t start[3];
    if (Status read = stream_->Read(start, sizeof start); !read)
        return read.error();
    const std::uint8_t kind = start[0];
    const auto path_length = GetLittleEndian<std::uint16_t>(start + 1);
    SealedEntry entry;
    if (path_length > kSealedMaxPathBytes)
        return BadEntry(number, entry.path, Msg::kSealedEntryTooLong);
    entry.path.resize(path_length);
    if (Status read =
            stream_->Read(reinterpret_cast<std::uint8_t*>(entry.path.data()), path_length);
        !read)
        return read.error();
    std::uint8_t rest[kSealedEntryFixedBytes - sizeof start];
    if (Status read = stream_->Read(rest, sizeof rest); !read)
        return read.error();
    entry.folder = kind == kSealedKindFolder;
    entry.size = GetLittleEndian<std::uint64_t>(rest);
    entry.mtime_s = GetLittleEndian<std::int64_t>(rest + 8);
    entry.mtime_ns = GetLittleEndian<std::uint32_t>(rest + 16);
    entry.attributes = rest[20];
    entry.mode = GetLittleEndian<std::uint16_t>(rest + 21);
    if (kind != kSealedKindFolder && kind != kSealedKindFile)
        return BadEntry(number, entry.path, Msg::kSealedEntryBadFields);
    if (const std::optional<Msg> why = check_.Admit(entry))
        return BadEntry(number, entry.path, *why);
    // What is still to come, the rest of the index and every file's data
    // (these sizes included), must fit in what the container can hold.
    const std::uint64_t room = stream_->PlaintextLeftAtMost();
    const std::uint64_t entries_left = (count_ - next_) * kSealedEntryFixedBytes;
    if (entry.size > room || file_bytes_ > room - entry.size ||
        entries_left > room - entry.size - file_bytes_)
        return BadEntry(number, entry.path, Msg::kSealedEntryTooLarge);
    file_bytes_ += entry.size;
    return entry;
}

Result<std::vector<SealedEntry>> ReadSealedIndex(SealedStreamReader& stream) {
    Result<SealedIndexReader> index = SealedIndexReader::Begin(stream);
    if (!index)
        return index.error();
    std::vector<SealedEntry> entries;
    while (!index->done()) {
        Result<SealedEntry> entry = index->Next();
        if (!entry)
            return entry.error();
        entries.push_back(std::move(entry).value());
    }
    // Version 2's header says where the index ends.
    const SealedHeader& header = stream.header();
    if (header.version == kSealedVersion2 &&
        header.plaintext_length - stream.PlaintextLeftAtMost() != header.index_length)
        return DamagedError(Text(Msg::kSealedEntryCountWrong, {std::to_string(entries.size())}));
    return entries;
}

namespace {

std::optional<Msg> PathFault(std::string_view path) {
    if (path.size() > kSealedMaxPathBytes)
        return Msg::kSealedEntryTooLong;
    if (!IsValidUtf8(path))
        return Msg::kSealedEntryNotUtf8;
    return RelativePath::Parse(path, kSealedStoredPath).fault;
}

bool FieldsValid(const SealedEntry& entry) {
    return (!entry.folder || entry.size == 0) && entry.mtime_ns < 1'000'000'000 &&
           entry.mode <= 07777;
}

}  // namespace

std::optional<Msg> SealedTreeCheck::Admit(const SealedEntry& entry) {
    if (admitted_.empty()) {
        if (!entry.folder || !entry.path.empty())
            return Msg::kSealedEntryNotRoot;
    } else if (const std::optional<Msg> fault = PathFault(entry.path)) {
        return fault;
    }
    if (!FieldsValid(entry))
        return Msg::kSealedEntryBadFields;
    if (!admitted_.empty()) {
        const std::size_t slash = entry.path.rfind('/');
        const std::string parent = slash == std::string::npos ? "" : entry.path.substr(0, slash);
        const auto found = admitted_.find(parent);
        if (found == admitted_.end() || !found->second)
            return Msg::kInFolderNotCreated;
    }
    if (!admitted_.emplace(entry.path, entry.folder).second)
        return Msg::kNameTwice;
    return std::nullopt;
}

}  // namespace velmora
