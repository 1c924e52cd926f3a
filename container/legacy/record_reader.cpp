#include "container/legacy/legacy_reader.h"

#include "base/messages.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr std::size_t kRecordsPerRead = 1024;

Error Damaged(const std::string& why) {
    return Error{Text(Msg::kDamagedOrNotAContainer, {why})};
}

}  // namespace

Result<ContainerHeader> ReadContainerHeader(ByteSource& source) {
    if (source.Size() < static_cast<std::int64_t>(kHeaderSize))
        return Damaged(Text(Msg::kShorterThanHeader));
    std::uint8_t bytes[kHeaderSize];
    if (Status read = source.ReadAt(0, bytes, kHeaderSize); !read)
        return read.error();
    return ParseHeader(bytes);
}

Status ForEachRecord(ByteSource& source, const ContainerHeader& header,
                     const std::function<Status(const EntryRecord&)>& visit) {
    if (header.NameWidthCode > 2)
        return Damaged(Text(Msg::kUnknownNameWidth, {std::to_string(header.NameWidthCode)}));
    if (header.EntryCount < 0)
        return Damaged(Text(Msg::kNegativeEntryCount));

    const auto record_size = static_cast<std::int64_t>(RecordSize(header.NameWidthCode));
    const std::int64_t count = header.EntryCount;
    const std::int64_t file_size = source.Size();
    if (count * record_size > file_size - static_cast<std::int64_t>(kHeaderSize))
        return Damaged(Text(Msg::kRecordsDoNotFit));
    const std::int64_t data_offset = static_cast<std::int64_t>(kHeaderSize) + count * record_size;

    std::int64_t data_length = 0;
    std::vector<std::uint8_t> chunk;
    for (std::int64_t first = 0; first < count;
         first += static_cast<std::int64_t>(kRecordsPerRead)) {
        const auto in_chunk = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(kRecordsPerRead), count - first));
        chunk.resize(in_chunk * static_cast<std::size_t>(record_size));
        const std::int64_t offset = static_cast<std::int64_t>(kHeaderSize) + first * record_size;
        if (Status read = source.ReadAt(offset, chunk.data(), chunk.size()); !read)
            return read.error();
        for (std::size_t r = 0; r < in_chunk; ++r) {
            const EntryRecord record = ParseRecord(
                &chunk[r * static_cast<std::size_t>(record_size)], header.NameWidthCode);
            if (record.EntrySize < -1)
                return Damaged(Text(Msg::kNegativeEntrySize,
                                    {std::to_string(first + static_cast<std::int64_t>(r) + 1)}));
            if (record.EntrySize > 0)
                data_length += record.EntrySize;
            if (data_length > file_size - data_offset)
                return Damaged(Text(Msg::kDataMissingAtEnd));
            if (Status visited = visit(record); !visited)
                return visited;
        }
    }
    return Status::Ok();
}

Result<ContainerIndex> ReadContainerIndex(ByteSource& source) {
    Result<ContainerHeader> header = ReadContainerHeader(source);
    if (!header)
        return header.error();
    ContainerIndex index;
    index.header = header.value();
    Status read = ForEachRecord(source, index.header, [&index](const EntryRecord& record) {
        if (record.EntrySize > 0)
            index.data_length += record.EntrySize;
        index.records.push_back(record);
        return Status::Ok();
    });
    if (!read)
        return read.error();
    index.data_offset =
        static_cast<std::int64_t>(kHeaderSize) +
        index.header.EntryCount * static_cast<std::int64_t>(RecordSize(index.header.NameWidthCode));
    return index;
}

}  // namespace velmora
