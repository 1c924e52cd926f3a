#include "container/sealed/slot_pieces.h"

#include <algorithm>

#include "container/sealed/chunk_group.h"

namespace velmora {

// A piece: 8 slots (512 KiB at the default chunk size).
constexpr std::size_t kSlotsPerPiece = 8;

void SlotPieces::ReadOnce() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (reading_)
            return;
        reading_ = true;
    }
    const std::size_t slot = layout_.slot_size;
    for (std::size_t from = 0; from < count_;) {
        const std::size_t now = std::min(kSlotsPerPiece, count_ - from);
        std::size_t whole = 0;
        Status read = ReadSlots(source_, layout_, at_ + from * slot, now, slots_ + from * slot, whole);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            whole_ += whole;
            read_ = read ? from + now : count_;
            if (!read)
                status_ = read;
        }
        more_read_.notify_all();
        if (!read)
            return;
        from += now;
    }
}

bool SlotPieces::Wait(std::size_t j) {
    std::unique_lock<std::mutex> lock(mutex_);
    more_read_.wait(lock, [&] { return read_ > j; });
    return j < whole_;
}

}  // namespace velmora
