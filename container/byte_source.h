#pragma once

#include <cstdint>
#include <vector>

#include "base/result.h"

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

}  // namespace velmora
