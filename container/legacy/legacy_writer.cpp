#include "container/legacy/legacy_writer.h"

#include "container/legacy/container_format.h"

namespace velmora {

LegacyWriter::LegacyWriter(const CipherTables& tables, const std::string& key, Host& host,
                           std::size_t base_path_length)
    : tables_(tables),
      key_(key),
      host_(host),
      base_path_length_(base_path_length),
      stream_(tables, key) {}

Status LegacyWriter::WriteHeader(BufferedWriter& out, std::size_t count, std::size_t longest_path,
                                 std::uint8_t folder_attributes) {
    width_code_ = ChooseNameWidthCode({longest_path});
    ContainerHeader header;
    header.EntryCount = static_cast<std::int32_t>(count);
    header.NameWidthCode = width_code_;
    header.PasswordCheck = MakePasswordCheck(tables_, key_);
    header.FolderAttributes = folder_attributes;
    const auto head = SerializeHeader(header);
    return out.Append(head.data(), head.size());
}

Status LegacyWriter::WriteEntry(BufferedWriter& out, const IndexEntry& entry) {
    stored_.assign(entry.path, base_path_length_);
    EntryRecord record;
    record.EncodedName = tables_.Enc(stored_, key_);
    record.EntryAttributes = StoredAttribute(entry.attributes, width_code_);
    record.ParentAttributes = StoredAttribute(entry.parent_attributes, width_code_);
    record.EntrySize = entry.folder ? -1 : static_cast<std::int32_t>(entry.size);
    const std::size_t record_size = RecordSize(width_code_);
    Result<std::uint8_t*> space = out.Reserve(record_size);
    if (!space)
        return space.error();
    WriteRecord(record, width_code_, space.value());
    out.Commit(record_size);
    return Status::Ok();
}

// Full blocks are coded at every third byte, the tail (the whole file when
// it fits in one block) at every byte; events are let through after each
// piece is read, before it is coded.
// Each piece is read straight into the container's buffer and coded there.
Status LegacyWriter::WriteFileData(BufferedWriter& out, std::int64_t size, const ReadPiece& read) {
    auto in_place = [&](std::size_t length, bool last) -> Result<std::uint8_t*> {
        Result<std::uint8_t*> space = out.Reserve(last ? length + 1 : length);
        if (!space)
            return space;
        if (Status got = read(space.value(), length, last); !got)
            return got.error();
        return space;
    };
    const CodingPlan plan = PlanFor(size);
    if (plan.full_blocks == 0) {
        Result<std::uint8_t*> piece = in_place(plan.tail, true);
        if (!piece)
            return piece.error();
        host_.PumpEvents();
        EncodeWhole(piece.value(), plan.tail, stream_);
        out.Commit(plan.tail);
        return Status::Ok();
    }
    for (std::int64_t block = 0; block < plan.full_blocks; ++block) {
        Result<std::uint8_t*> piece = in_place(kBlockSize, false);
        if (!piece)
            return piece.error();
        host_.PumpEvents();
        EncodeFullBlock(piece.value(), stream_);
        out.Commit(kBlockSize);
    }
    Result<std::uint8_t*> piece = in_place(plan.tail, true);
    if (!piece)
        return piece.error();
    EncodeWhole(piece.value(), plan.tail, stream_);
    out.Commit(plan.tail);
    return Status::Ok();
}

}  // namespace velmora
