#include "container/sealed/sealed_writer.h"

#include <algorithm>

#include "container/sealed/sealed_index.h"

namespace velmora {
namespace {

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

}  // namespace

Status SealedWriter::WriteHeader(BufferedWriter& out, std::size_t count, std::size_t,
                                 std::uint8_t) {
    Result<SealedStreamWriter> stream = SealedStreamWriter::Begin(out, keys_, header_);
    if (!stream)
        return stream.error();
    stream_.emplace(std::move(stream).value());
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

Status SealedWriter::WriteIndex() {
    if (index_written_)
        return Status::Ok();
    index_written_ = true;
    const Status written = WriteSealedIndex(*stream_, index_);
    index_ = {};
    return written;
}

Status SealedWriter::WriteFileData(BufferedWriter&, std::int64_t size, const ReadPiece& read) {
    if (Status index = WriteIndex(); !index)
        return index;
    std::int64_t left = size;
    do {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(left, kReadPiece));
        const bool last = static_cast<std::int64_t>(piece) == left;
        if (Status got = read(piece_.data(), piece, last); !got)
            return got;
        if (Status sealed = stream_->Write(piece_.data(), piece); !sealed)
            return sealed;
        left -= static_cast<std::int64_t>(piece);
    } while (left > 0);
    return Status::Ok();
}

Status SealedWriter::Finish(BufferedWriter&) {
    if (Status index = WriteIndex(); !index)
        return index;
    return stream_->Finish();
}

}  // namespace velmora
