#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/result.h"
#include "platform/tree_ops.h"

namespace velmora {

// Sequential writing and reading of a numbered file through a buffer, so a
// container of many small files costs a few large system calls instead of
// one per file.
inline constexpr std::size_t kBufferedBytes = 1 << 20;

class BufferedWriter {
  public:
    BufferedWriter(TreeOps& files, int file, std::int64_t offset);
    // Failures of the underlying writes show at the call that makes them.
    Status Append(const std::uint8_t* data, std::size_t length);
    // Room for up to `length` bytes (at most the buffer's size) at the end of
    // the buffer, to be filled in place and then committed.
    Result<std::uint8_t*> Reserve(std::size_t length);
    void Commit(std::size_t length);
    Status Flush();

  private:
    TreeOps& files_;
    int file_;
    std::int64_t offset_;  // where the buffer's first byte goes
    // Left uninitialised: every byte is written before it is used.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t used_ = 0;
    std::size_t reserved_from_ = 0;
};

class BufferedReader {
  public:
    BufferedReader(TreeOps& files, int file, std::int64_t offset);
    // Reads up to length bytes; fewer only at the end of the file.
    Result<std::size_t> Read(std::uint8_t* out, std::size_t length);

  private:
    TreeOps& files_;
    int file_;
    std::int64_t offset_;  // of the buffer's first byte in the file
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
};

}  // namespace velmora
