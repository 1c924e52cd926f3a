#include <algorithm>
#include <optional>
#include <string>

#include "base/messages.h"
#include "container/sealed/batch_ring.h"
#include "container/sealed/chunk_group.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_messages.h"

// Version 2's messages: the chunks, a group at a time, opened (and rebuilt
// where damaged) on a thread of the reader's own while the calling thread
// hands out the group before.
namespace velmora {
namespace {

struct GroupBatch {
    std::optional<GroupBuffers> buffers;
    GroupOutcome outcome;
};

class ChunkGroups : public SealedMessages {
  public:
    ChunkGroups(ByteSource& source, const SealedHeader& header, const SealedKeys& keys,
                SealedDamage damage, GroupListener listener)
        : source_(source),
          header_bytes_(EncodeSealedHeader(header)),
          damage_(damage),
          listener_(std::move(listener)),
          layout_(header),
          cipher_(keys, header),
          ring_(layout_.group_data * layout_.slot_size > (8u << 20) ? 2 : 3,
                [this](GroupBatch& batch) { Open(batch); }) {}

    Result<Message> Next() override {
        if (!status_)
            return status_.error();
        if (current_ == nullptr || next_ == layout_.ChunksIn(current_->outcome.group)) {
            if (current_ != nullptr) {
                ring_.Release();
                current_ = nullptr;
            }
            if (next_group_ == layout_.groups && !ring_.HasSubmitted()) {
                status_ = DamagedError(Text(Msg::kSealedContentLeftOver));
                return status_.error();
            }
            ReadAhead();
            current_ = &ring_.Oldest();
            next_ = 0;
            const GroupOutcome& outcome = current_->outcome;
            if (!outcome.read)
                status_ = outcome.read;
            else if (damage_ == SealedDamage::kRefuse &&
                     (!outcome.damaged.empty() || outcome.parity_differs))
                status_ = DamagedError(Text(Msg::kWrittenBytesDiffer));
            else
                KeepIndexSlots(*current_);
            if (status_ && listener_ && outcome.lost.empty())
                status_ = listener_(outcome, current_->buffers->slots.get());
            if (!status_)
                return status_.error();
            rebuilt_ += outcome.rebuilt;
        }
        const std::uint64_t n = layout_.FirstChunk(current_->outcome.group) + next_;
        // The chunks of a group before a lost one are handed out (the index
        // in a group beyond repair is still read).
        const std::vector<std::uint64_t>& lost = current_->outcome.lost;
        if (std::find(lost.begin(), lost.end(), n) != lost.end()) {
            status_ = DamagedError(Text(Msg::kSealedChunkNotRebuilt, {std::to_string(n)}));
            return status_.error();
        }
        const std::size_t length = layout_.ChunkLength(n);
        const std::uint8_t* plaintext =
            current_->buffers->plaintext.get() + next_ * layout_.chunk_size;
        ++next_;
        handed_out_ += length;
        return Message{{plaintext, length}, n + 1 == layout_.chunks};
    }

    std::uint64_t PlaintextAfterHandedOut() const override {
        return layout_.plaintext_length - handed_out_;
    }

    std::uint64_t RebuiltChunks() const override { return rebuilt_; }

    Status End() override {
        if (damage_ == SealedDamage::kRepair)
            return Status::Ok();
        const Result<bool> agree =
            CopiesAgree(source_, layout_, index_slots_.data(), header_bytes_);
        if (!agree)
            return agree.error();
        return agree.value() ? Status::Ok() : DamagedError(Text(Msg::kWrittenBytesDiffer));
    }

  private:
    // The first slots, the index's, for the comparison with their copy.
    void KeepIndexSlots(const GroupBatch& batch) {
        const std::size_t wanted = layout_.index_chunks * layout_.slot_size;
        if (damage_ == SealedDamage::kRepair || index_slots_.size() >= wanted)
            return;
        const std::size_t data = layout_.ChunksIn(batch.outcome.group) * layout_.slot_size;
        const std::uint8_t* slots = batch.buffers->slots.get();
        index_slots_.insert(index_slots_.end(), slots,
                            slots + std::min(wanted - index_slots_.size(), data));
    }

    void ReadAhead() {
        while (next_group_ < layout_.groups && ring_.HasFree()) {
            GroupBatch& batch = ring_.Acquire();
            batch.outcome.group = next_group_++;
            ring_.Submit();
        }
    }

    // On the worker.
    void Open(GroupBatch& batch) {
        if (!batch.buffers)
            batch.buffers.emplace(layout_);
        batch.outcome = ReadGroup(source_, layout_, cipher_, batch.outcome.group, *batch.buffers,
                                  team_, damage_ == SealedDamage::kRefuse || listener_);
    }

    ByteSource& source_;
    SealedHeaderBytes header_bytes_;
    SealedDamage damage_;
    GroupListener listener_;
    ChunkLayout layout_;
    ChunkCipher cipher_;
    // The calling thread's.
    GroupBatch* current_ = nullptr;
    std::size_t next_ = 0;  // in current_, the next chunk to hand out
    std::uint64_t next_group_ = 0;
    std::uint64_t handed_out_ = 0;
    std::uint64_t rebuilt_ = 0;
    std::vector<std::uint8_t> index_slots_;  // only when refusing damage
    Status status_ = Status::Ok();
    CoreTeam team_;               // the cores the ring's worker borrows
    BatchRing<GroupBatch> ring_;  // last: its worker stops before the rest goes
};

}  // namespace

std::unique_ptr<SealedMessages> ChunkMessages(ByteSource& source, const SealedHeader& header,
                                              const SealedKeys& keys, SealedDamage damage,
                                              GroupListener listener) {
    return std::make_unique<ChunkGroups>(source, header, keys, damage, std::move(listener));
}

}  // namespace velmora
