#include "container/sealed/chunk_reader.h"

#include <algorithm>

#include "base/messages.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_stream_reader.h"

namespace velmora {

ChunkReader::ChunkReader(ByteSource& source, const SealedHeader& header, const SealedKeys& keys,
                         Host& host, Keep keep)
    : source_(source),
      header_(header),
      keys_(keys),
      host_(host),
      keep_(std::move(keep)),
      layout_(header),
      cipher_(keys, header),
      buffers_(layout_) {}

Result<RestoreIndex> ChunkReader::ReadIndex() {
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source_, header_, keys_);
    if (!stream)
        return stream.error();
    Result<std::vector<SealedEntry>> stored = ReadSealedIndex(stream.value());
    if (!stored)
        return stored.error();
    std::vector<std::uint64_t> offsets(stored->size(), 0);
    std::vector<char> kept(stored->size(), 1);
    std::uint64_t at = header_.index_length;
    for (std::size_t i = 1; i < stored->size(); ++i) {
        const SealedEntry& entry = stored.value()[i];
        if (entry.folder) {
            kept[i] = keep_(entry, 1, 0);
            continue;
        }
        offsets[i] = at;
        const std::uint64_t first = entry.size == 0 ? 1 : at / layout_.chunk_size;
        const std::uint64_t last = entry.size == 0 ? 0 : (at + entry.size - 1) / layout_.chunk_size;
        kept[i] = keep_(entry, first, last);
        if (!kept[i])
            left_out_.push_back(entry.path);
        at += entry.size;
    }
    RestoreIndex index =
        RestoreIndexOf(stored.value(), [&](std::size_t i) { return kept[i] != 0; });
    std::size_t next = 0;
    for (std::size_t i = 1; i < stored->size(); ++i) {
        if (!kept[i])
            continue;
        offsets_[index.entries[next].name] = offsets[i];
        ++next;
    }
    return index;
}

Status ChunkReader::Load(std::uint64_t group) {
    if (any_loaded_ && loaded_.group == group)
        return Status::Ok();
    any_loaded_ = false;
    loaded_ = ReadGroup(source_, layout_, cipher_, group, buffers_);
    if (!loaded_.read)
        return loaded_.read;
    any_loaded_ = true;
    return Status::Ok();
}

Status ChunkReader::ReadFileData(const DecodedEntry& entry, const WritePiece& write) {
    std::uint64_t at = offsets_.at(entry.name);
    std::uint64_t left = static_cast<std::uint64_t>(entry.size);
    while (left > 0) {
        const std::uint64_t chunk = at / layout_.chunk_size;
        if (Status loaded = Load(layout_.GroupOf(chunk)); !loaded)
            return loaded;
        if (std::find(loaded_.lost.begin(), loaded_.lost.end(), chunk) != loaded_.lost.end())
            return DamagedError(Text(Msg::kSealedChunkNotRebuilt, {std::to_string(chunk)}));
        const std::uint64_t within = at - chunk * layout_.chunk_size;
        const std::uint64_t length = std::min(left, layout_.ChunkLength(chunk) - within);
        const std::uint8_t* plaintext =
            buffers_.plaintext.get() +
            (chunk - layout_.FirstChunk(loaded_.group)) * layout_.chunk_size;
        if (Status written = write(plaintext + within, static_cast<std::size_t>(length)); !written)
            return written;
        at += length;
        left -= length;
        host_.PumpEvents();
    }
    return Status::Ok();
}

}  // namespace velmora
