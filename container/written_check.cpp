#include "container/written_check.h"

#include "base/messages.h"

namespace velmora {

Status CheckAgainst(ContainerReader& reader, const PlaintextDigest& expected,
                    const std::optional<RestoreIndex>& expected_index,
                    std::vector<DecodedEntry>& index_out) {
    Result<RestoreIndex> index = reader.ReadIndex();
    if (!index)
        return index.error();
    if (expected_index && index.value() != *expected_index)
        return Error{Text(Msg::kWrittenIndexDiffers)};
    PlaintextHash read_back;
    for (const DecodedEntry& entry : index->entries) {
        if (entry.size < 0)
            continue;
        const Status read =
            reader.ReadFileData(entry, [&](const std::uint8_t* data, std::size_t length) {
                read_back.Update(data, length);
                return Status::Ok();
            });
        if (!read)
            return read;
    }
    if (Status end = reader.ReadEnd(); !end)
        return end;
    if (read_back.Final() != expected)
        return Error{Text(Msg::kWrittenBytesDiffer)};
    index_out = std::move(index->entries);
    return Status::Ok();
}

}  // namespace velmora
