#include "container/written_check.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "container/byte_source.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_reader.h"

namespace velmora {
namespace {

constexpr std::size_t kReadBackPiece = std::size_t{4} << 20;

// Runs `check` on the written file opened again past the cache (its size
// given), and closes that second handle whatever the check says.
template <typename Check>
Status CheckReopened(TreeOps& files, int written, Check check) {
    const Result<int> from_disk = files.ReopenUncached(written);
    if (!from_disk)
        return from_disk.error();
    const Status checked = [&]() -> Status {
        const Result<EntryInfo> info = files.InspectOpen(from_disk.value());
        if (!info)
            return info.error();
        return check(from_disk.value(), info->size);
    }();
    (void)files.Close(from_disk.value());
    return checked;
}

}  // namespace

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

Status CheckSealedOnDisk(TreeOps& files, int written, const SealedKeys& keys, Host& host,
                         const PlaintextDigest& expected,
                         const std::optional<RestoreIndex>& expected_index,
                         std::vector<DecodedEntry>& index) {
    return CheckReopened(files, written, [&](int from_disk, std::int64_t size) -> Status {
        FileByteSource source(files, from_disk, size);
        const Result<SealedHeader> header = ReadSealedHeader(source);
        if (!header)
            return header.error();
        SealedReader reader(source, header.value(), keys, host, SealedDamage::kRefuse);
        return CheckAgainst(reader, expected, expected_index, index);
    });
}

Status CheckBytesOnDisk(TreeOps& files, int written, std::int64_t size,
                        const PlaintextDigest& expected) {
    return CheckReopened(files, written, [&](int from_disk, std::int64_t on_disk) -> Status {
        if (on_disk != size)
            return Error{Text(Msg::kWrittenBytesDiffer)};
        FileByteSource source(files, from_disk, size);
        std::vector<std::uint8_t> piece(kReadBackPiece);
        PlaintextHash read_back;
        for (std::int64_t done = 0; done < size;) {
            const std::size_t now = static_cast<std::size_t>(
                std::min<std::int64_t>(size - done, static_cast<std::int64_t>(piece.size())));
            if (Status read = source.ReadAt(done, piece.data(), now); !read)
                return read;
            read_back.Update(piece.data(), now);
            done += static_cast<std::int64_t>(now);
        }
        return read_back.Final() == expected ? Status::Ok()
                                             : Status(Error{Text(Msg::kWrittenBytesDiffer)});
    });
}

}  // namespace velmora
