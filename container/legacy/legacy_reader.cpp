#include "container/legacy/legacy_reader.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "cipher/cipher_tables.h"
#include "container/legacy/container_format.h"
#include "container/legacy/stored_names.h"

namespace velmora {

LegacyReader::LegacyReader(TreeOps& files, int container, ByteSource& source,
                           const ContainerHeader& header, const CipherTables& tables, Host& host,
                           std::string key, StoredNameCase names)
    : files_(files),
      container_(container),
      source_(source),
      header_(header),
      tables_(tables),
      host_(host),
      key_(std::move(key)),
      names_(names) {}

Result<RestoreIndex> LegacyReader::ReadIndex() {
    const std::string& key = key_;
    if (!PasswordMatches(tables_, header_.PasswordCheck, key))
        return Error{Text(Msg::kWrongPassword)};
    RestoreIndex index;
    std::vector<DecodedEntry>& entries = index.entries;
    DecodedEntryCheck check(entries);
    if (Status read = ForEachRecord(
            source_, header_,
            [&](const EntryRecord& record) {
                const bool folder = record.EntrySize == -1;
                const std::string name =
                    names_ == StoredNameCase::kUpper
                        ? DecodeStoredName(tables_, record.EncodedName, key, folder)
                        : DecodeStoredNameAsStored(tables_, record.EncodedName, key, folder);
                entries.push_back(
                    {name, record.EntrySize, record.ParentAttributes, record.EntryAttributes});
                return check.Add(entries.size() - 1);
            });
        !read)
        return read.error();
    if (Status checked = check.Finish(); !checked)
        return checked.error();
    index.folder_attributes = header_.FolderAttributes;
    stream_.emplace(tables_, key);
    const std::int64_t data_area = static_cast<std::int64_t>(kHeaderSize) +
                                   static_cast<std::int64_t>(entries.size()) *
                                       static_cast<std::int64_t>(RecordSize(header_.NameWidthCode));
    data_.emplace(files_, container_, data_area);
    buffer_.resize(kBlockSize);
    return index;
}

// Full blocks, then the tail, each read, decoded and written in turn; events
// are let through after each piece is read, and once more after a file that
// fits in one piece.
Status LegacyReader::ReadFileData(const DecodedEntry& entry, const WritePiece& write) {
    auto piece = [&](std::size_t length, bool full_block) -> Status {
        Result<std::size_t> got = data_->Read(buffer_.data(), length);
        if (!got)
            return got.error();
        if (got.value() != length)
            return Error{Text(Msg::kContainerEndsEarly)};
        host_.PumpEvents();
        if (full_block)
            DecodeFullBlock(buffer_.data(), *stream_);
        else
            DecodeWhole(buffer_.data(), length, *stream_);
        return write(buffer_.data(), length);
    };
    const CodingPlan plan = PlanFor(entry.size);
    for (std::int64_t block = 0; block < plan.full_blocks; ++block)
        if (Status done = piece(kBlockSize, true); !done)
            return done;
    if (Status done = piece(plan.tail, false); !done)
        return done;
    if (plan.full_blocks == 0)
        host_.PumpEvents();
    return Status::Ok();
}

Result<std::string> RecoverKey(const CipherTables& tables, ByteSource& source,
                               const ContainerHeader& header) {
    std::vector<std::string> keys = KeysFromCheckValue(header.PasswordCheck);
    std::erase_if(keys, [&](const std::string& key) {
        return !PasswordMatches(tables, header.PasswordCheck, key);
    });
    // What each key makes of the "\" that begins every stored name.
    std::vector<char> leading;
    for (const std::string& key : keys)
        leading.push_back(tables.EncCharacter("\\", 1, key));
    std::vector<bool> fits(keys.size(), true);
    if (Status read = ForEachRecord(source, header,
                                    [&](const EntryRecord& record) {
                                        for (std::size_t k = 0; k < keys.size(); ++k)
                                            fits[k] =
                                                fits[k] && record.EncodedName.front() == leading[k];
                                        return Status::Ok();
                                    });
        !read)
        return read.error();
    const auto fitting = std::count(fits.begin(), fits.end(), true);
    if (fitting == 0)
        return Error{Text(Msg::kKeyNotFoundNoneFits)};
    if (fitting > 1)
        return Error{Text(Msg::kKeyNotFoundBothFit)};
    return keys[static_cast<std::size_t>(std::find(fits.begin(), fits.end(), true) - fits.begin())];
}

}  // namespace velmora
