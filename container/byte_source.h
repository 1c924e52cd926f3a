#pragma once

#include <cstdint>
#include <vector>

#include "base/messages.h"
#include "base/result.h"
#include "platform/tree_ops.h"

namespace velmora {

// Random access to the bytes of a container, wherever they are.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::int64_t Size() const = 0;
    // Reads exactly length bytes at offset, or fails.
    virtual Status ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t length) = 0;
};

// A container held in memory.
class MemoryByteSource : public ByteSource {
  public:
    explicit MemoryByteSource(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    Status ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t length) override;

  private:
    const std::vector<std::uint8_t>& bytes_;
};

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
