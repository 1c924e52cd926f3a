#pragma once

#include "base/messages.h"
#include "container/byte_source.h"
#include "platform/tree_ops.h"

namespace velmora {

// The bytes of a file opened through the file system under a number.
class FileByteSource : public ByteSource {
  public:
    FileByteSource(TreeOps& files, int file, std::int64_t size)
        : files_(files), file_(file), size_(size) {}

    std::int64_t Size() const override { return size_; }
    Status ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t length) override {
        Result<std::size_t> read = files_.Read(file_, offset, out, length);
        if (!read)
            return read.error();
        if (read.value() != length)
            return Error{Text(Msg::kDamagedEndsEarly)};
        return Status::Ok();
    }

  private:
    TreeOps& files_;
    int file_;
    std::int64_t size_;
};

}  // namespace velmora
