#include "container/sealed/sealed_writer.h"

#include "container/sealed/sealed_reader.h"

#include <algorithm>
#include <span>

#include "container/sealed/sealed_index.h"

namespace velmora {
namespace {

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

}  // namespace

// The header waits for the index: it holds the index's and the
// plaintext's lengths.
Status SealedWriter::WriteHeader(BufferedWriter&, std::size_t count, std::size_t, std::uint8_t) {
    index_.reserve(count);
    return Status::Ok();
}

// "C:\folder\a\b" is stored as "a/b", a folder's "C:\folder\a\" as "a", and
// the folder itself, "C:\folder\", as "".
Status SealedWriter::WriteEntry(BufferedWriter&, const IndexEntry& entry) {
    SealedEntry stored;
    std::string_view path = entry.path;
    path.remove_prefix(std::min(root_length_, path.size()));
    if (entry.folder && !path.empty())
        path.remove_suffix(1);
    stored.path.assign(path);
    std::replace(stored.path.begin(), stored.path.end(), '\\', '/');
    stored.folder = entry.folder;
    stored.size = entry.folder ? 0 : static_cast<std::uint64_t>(entry.size);
    stored.mtime_s = FloorDivide(entry.modified_ns, 1000000000);
    stored.mtime_ns = static_cast<std::uint32_t>(entry.modified_ns - stored.mtime_s * 1000000000);
    stored.attributes = entry.attributes;
    stored.mode = static_cast<std::uint16_t>(entry.mode & 07777);
    index_.push_back(std::move(stored));
    return Status::Ok();
}

Status SealedWriter::WriteIndex(BufferedWriter& out) {
    if (index_written_)
        return Status::Ok();
    index_written_ = true;
    Result<std::vector<std::uint8_t>> bytes = EncodeSealedIndex(index_);
    if (!bytes)
        return bytes.error();
    header_.index_length = bytes->size();
    header_.plaintext_length = SealedPlaintextLength(index_, bytes->size());
    Result<SealedStreamWriter> stream = SealedStreamWriter::Begin(out, keys_, header_);
    if (!stream)
        return stream.error();
    stream_.emplace(std::move(stream).value());
    return stream_->Write(bytes->data(), bytes->size());
}

// Each piece is read straight into the stream's room for plaintext. A
// file's last piece needs one byte of room more than it holds (to tell a
// file that grew), so when it would fill the room exactly, its last byte
// waits for the next room; a one-byte room then takes it by way of `spare`.
Status SealedWriter::WriteFileData(BufferedWriter& out, std::int64_t size, const ReadPiece& read) {
    if (Status index = WriteIndex(out); !index)
        return index;
    host_.PumpEvents();
    std::int64_t left = size;
    while (left > 0) {
        const std::span<std::uint8_t> room = stream_->Space();
        std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(left, room.size()));
        bool last = static_cast<std::int64_t>(piece) == left;
        if (last && piece == room.size() && piece > 1) {
            piece -= 1;
            last = false;
        }
        Status sealed = Status::Ok();
        if (last && piece == room.size()) {
            std::uint8_t spare[2];
            if (Status got = read(spare, 1, true); !got)
                return got;
            sealed = stream_->Write(spare, 1);
        } else {
            if (Status got = read(room.data(), piece, last); !got)
                return got;
            sealed = stream_->Commit(piece);
        }
        if (!sealed)
            return sealed;
        left -= static_cast<std::int64_t>(piece);
        host_.PumpEvents();
    }
    return Status::Ok();
}

std::optional<RestoreIndex> SealedWriter::WrittenIndex() const {
    return RestoreIndexOf(index_);
}

Status SealedWriter::Finish(BufferedWriter& out) {
    if (Status index = WriteIndex(out); !index)
        return index;
    return stream_->Finish();
}

}  // namespace velmora
