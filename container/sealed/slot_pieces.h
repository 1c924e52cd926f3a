#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/chunk_layout.h"

namespace velmora {

// A group's data slots read a few at a time by one thread, so that the
// other cores open the chunks already read rather than wait for the whole
// group's read (4 MiB copied, its pages touched the first time) idle.
class SlotPieces {
  public:
    // `count` slots from `at` into `slots`, as ReadSlots reads them.
    SlotPieces(ByteSource& source, const ChunkLayout& layout, std::uint64_t at, std::size_t count,
               std::uint8_t* slots)
        : source_(source), layout_(layout), at_(at), count_(count), slots_(slots) {}

    // Reads every piece, on the first thread that calls it; the others
    // return at once.
    void ReadOnce();
    // Waits until slot `j` has been read (or the read failed): whether it
    // was read whole.
    bool Wait(std::size_t j);
    // Once every thread is done: a read that failed.
    const Status& status() const { return status_; }

  private:
    ByteSource& source_;
    const ChunkLayout& layout_;
    std::uint64_t at_;
    std::size_t count_;
    std::uint8_t* slots_;
    std::mutex mutex_;
    std::condition_variable more_read_;
    bool reading_ = false;
    std::size_t read_ = 0;   // slots read so far (all of them once the read failed)
    std::size_t whole_ = 0;  // of those, read whole
    Status status_ = Status::Ok();
};

}  // namespace velmora
