#include "container/sealed/chunk_reader.h"

#include <algorithm>
#include <set>

#include "base/messages.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_stream_reader.h"

namespace velmora {
namespace {

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

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
    std::vector<SealedEntry>& entries = stored.value();
    // A marked name takes no stored path, nor one differing only in ASCII
    // case (a system that ignores case would take them for one).
    std::set<std::string> taken;
    for (const SealedEntry& entry : entries)
        taken.insert(AsciiLower(entry.path));
    const auto is_taken = [&](const std::string& path) {
        return taken.count(AsciiLower(path)) != 0;
    };
    std::vector<Place> places(entries.size());
    std::vector<char> kept(entries.size(), 1);
    std::uint64_t at = header_.index_length;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        SealedEntry& entry = entries[i];
        if (entry.folder) {
            kept[i] = keep_(entry, 1, 0) != Take::kLeave;
            continue;
        }
        places[i].offset = at;
        const std::uint64_t first = entry.size == 0 ? 1 : at / layout_.chunk_size;
        const std::uint64_t last = entry.size == 0 ? 0 : (at + entry.size - 1) / layout_.chunk_size;
        const Take take = keep_(entry, first, last);
        kept[i] = take != Take::kLeave;
        if (take == Take::kLeave)
            left_out_.push_back(entry.path);
        if (take == Take::kWithHoles) {
            const std::string marked = PartialName(entry.path, Text(Msg::kPartialMark), is_taken);
            taken.insert(AsciiLower(marked));
            places[i].holed = static_cast<int>(holed_.size());
            holed_.push_back({entry.path, marked, 0});
            entry.path = marked;
        }
        at += entry.size;
    }
    RestoreIndex index = RestoreIndexOf(entries, [&](std::size_t i) { return kept[i] != 0; });
    std::size_t next = 0;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (!kept[i])
            continue;
        places_[index.entries[next].name] = places[i];
        ++next;
    }
    return index;
}

Status ChunkReader::Load(std::uint64_t group) {
    if (any_loaded_ && loaded_.group == group)
        return Status::Ok();
    any_loaded_ = false;
    loaded_ = ReadGroup(source_, layout_, cipher_, group, buffers_, team_);
    if (!loaded_.read)
        return loaded_.read;
    any_loaded_ = true;
    return Status::Ok();
}

Status ChunkReader::ReadFileData(const DecodedEntry& entry, const WritePiece& write) {
    const Place& place = places_.at(entry.name);
    std::uint64_t at = place.offset;
    std::uint64_t left = static_cast<std::uint64_t>(entry.size);
    while (left > 0) {
        const std::uint64_t chunk = at / layout_.chunk_size;
        if (Status loaded = Load(layout_.GroupOf(chunk)); !loaded)
            return loaded;
        const bool lost =
            std::find(loaded_.lost.begin(), loaded_.lost.end(), chunk) != loaded_.lost.end();
        if (lost && place.holed < 0)
            return DamagedError(Text(Msg::kSealedChunkNotRebuilt, {std::to_string(chunk)}));
        const std::uint64_t within = at - chunk * layout_.chunk_size;
        const std::uint64_t length = std::min(left, layout_.ChunkLength(chunk) - within);
        const std::uint8_t* piece =
            buffers_.plaintext.get() +
            (chunk - layout_.FirstChunk(loaded_.group)) * layout_.chunk_size + within;
        if (lost) {
            zeros_.resize(layout_.chunk_size, 0);
            piece = zeros_.data();
            holed_[static_cast<std::size_t>(place.holed)].zeroed += length;
        }
        if (Status written = write(piece, static_cast<std::size_t>(length)); !written)
            return written;
        at += length;
        left -= length;
        host_.PumpEvents();
    }
    return Status::Ok();
}

std::string PartialName(const std::string& path, std::string_view mark,
                        const std::function<bool(const std::string&)>& taken) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t cut = dot != std::string::npos && dot > name ? dot : path.size();
    const std::string stem = path.substr(0, cut) + " " + std::string(mark);
    std::string marked = stem + path.substr(cut);
    for (int n = 2; taken(marked); ++n)
        marked = stem + " (" + std::to_string(n) + ")" + path.substr(cut);
    return marked;
}

}  // namespace velmora
