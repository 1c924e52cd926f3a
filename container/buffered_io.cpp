#include "container/buffered_io.h"

#include <algorithm>
#include <cstring>

namespace velmora {

BufferedWriter::BufferedWriter(TreeOps& files, int file, std::int64_t offset)
    : files_(files), file_(file), offset_(offset), buffer_(new std::uint8_t[kBufferedBytes]) {}

Status BufferedWriter::Append(const std::uint8_t* data, std::size_t length) {
    if (used_ + length > kBufferedBytes) {
        if (Status flushed = Flush(); !flushed)
            return flushed;
    }
    if (length >= kBufferedBytes) {
        if (Status written = files_.Write(file_, offset_, data, length); !written)
            return written;
        offset_ += static_cast<std::int64_t>(length);
        return Status::Ok();
    }
    std::memcpy(buffer_.get() + used_, data, length);
    used_ += length;
    return Status::Ok();
}

Result<std::uint8_t*> BufferedWriter::Reserve(std::size_t length) {
    if (used_ + length > kBufferedBytes) {
        if (Status flushed = Flush(); !flushed)
            return flushed.error();
    }
    reserved_from_ = used_;
    used_ += length;
    return buffer_.get() + reserved_from_;
}

void BufferedWriter::Commit(std::size_t length) {
    used_ = reserved_from_ + length;
}

Status BufferedWriter::Flush() {
    if (used_ == 0)
        return Status::Ok();
    if (Status written = files_.Write(file_, offset_, buffer_.get(), used_); !written)
        return written;
    offset_ += static_cast<std::int64_t>(used_);
    used_ = 0;
    return Status::Ok();
}

BufferedReader::BufferedReader(TreeOps& files, int file, std::int64_t offset)
    : files_(files), file_(file), offset_(offset) {}

Result<std::size_t> BufferedReader::Read(std::uint8_t* out, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        if (used_ == buffer_.size()) {
            offset_ += static_cast<std::int64_t>(buffer_.size());
            buffer_.resize(kBufferedBytes);
            Result<std::size_t> read = files_.Read(file_, offset_, buffer_.data(), kBufferedBytes);
            if (!read)
                return read.error();
            buffer_.resize(read.value());
            used_ = 0;
            if (buffer_.empty())
                break;
        }
        const std::size_t now = std::min(length - done, buffer_.size() - used_);
        std::memcpy(out + done, buffer_.data() + used_, now);
        used_ += now;
        done += now;
    }
    return done;
}

}  // namespace velmora
