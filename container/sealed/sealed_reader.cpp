#include "container/sealed/sealed_reader.h"

#include <algorithm>
#include <limits>

#include "base/messages.h"
#include "container/sealed/sealed_index.h"

namespace velmora {
namespace {

// The most one piece hands on: the restore writes it at once.
constexpr std::size_t kPiece = 1 << 20;

// The program counts times in nanoseconds since 1970 in 64 bits (about 292
// years either way); a stored time beyond that comes back as the nearest.
std::int64_t Nanoseconds(const SealedEntry& entry) {
    constexpr std::int64_t kLatestSecond =
        std::numeric_limits<std::int64_t>::max() / 1000000000 - 1;
    const std::int64_t seconds = std::clamp(entry.mtime_s, -kLatestSecond, kLatestSecond);
    return seconds * 1000000000 + entry.mtime_ns;
}

}  // namespace

RestoreIndex RestoreIndexOf(const std::vector<SealedEntry>& stored,
                            const std::function<bool(std::size_t)>& keep) {
    RestoreIndex index;
    index.entries.reserve(stored.size() - 1);
    for (const SealedEntry& entry : stored) {
        if (!entry.path.empty() && keep && !keep(&entry - stored.data()))
            continue;
        const std::int64_t modified = Nanoseconds(entry);
        if (entry.path.empty()) {  // the folder itself, always first
            index.folder_attributes = entry.attributes;
            index.folder_modified_ns = modified;
            index.folder_mode = entry.mode;
            continue;
        }
        DecodedEntry decoded;
        decoded.name = "\\" + entry.path + (entry.folder ? "\\" : "");
        std::replace(decoded.name.begin(), decoded.name.end(), '/', '\\');
        decoded.size = entry.folder ? -1 : static_cast<std::int64_t>(entry.size);
        decoded.parent_attributes = entry.attributes;
        decoded.attributes = entry.attributes;
        decoded.modified_ns = modified;
        decoded.mode = entry.mode;
        index.entries.push_back(std::move(decoded));
    }
    return index;
}

Result<RestoreIndex> SealedReader::ReadIndex() {
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source_, header_, keys_, damage_);
    if (!stream)
        return stream.error();
    stream_.emplace(std::move(stream).value());
    Result<std::vector<SealedEntry>> stored = ReadSealedIndex(*stream_);
    if (!stored)
        return stored.error();
    return RestoreIndexOf(stored.value());
}

Status SealedReader::ReadFileData(const DecodedEntry& entry, const WritePiece& write) {
    std::int64_t left = entry.size;
    while (left > 0) {
        Result<std::span<const std::uint8_t>> piece =
            stream_->ReadView(static_cast<std::size_t>(std::min<std::int64_t>(left, kPiece)));
        if (!piece)
            return piece.error();
        if (Status written = write(piece->data(), piece->size()); !written)
            return written;
        left -= static_cast<std::int64_t>(piece->size());
        host_.PumpEvents();
    }
    return Status::Ok();
}

Status SealedReader::ReadEnd() {
    return stream_->Finish();
}

}  // namespace velmora
