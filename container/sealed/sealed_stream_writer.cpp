#include "container/sealed/sealed_stream_writer.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

#include "base/messages.h"
#include "container/sealed/batch_ring.h"
#include "container/sealed/chunk_cipher.h"
#include "container/sealed/chunk_group.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/core_team.h"
#include "container/sealed/parity_code.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {
namespace {

// One group: its plaintext, then its slots (sealed chunks, zero-padded) and
// its parity slots.
struct GroupBatch {
    GroupMemory plaintext;
    GroupMemory slots;  // data slots, then parity slots
    std::uint64_t group = 0;
    std::size_t used = 0;  // plaintext bytes filled
};

}  // namespace

// Plaintext is filled into the current group; a full group is sealed on
// the ring's worker while the next fills. Groups come back in order: the
// calling thread writes a group's data, then the parity of the group
// before it, and keeps this group's parity for after the next.
class SealedStreamWriter::Groups {
  public:
    Groups(BufferedWriter& out, const SealedKeys& keys, const SealedHeader& header,
           SealedHeaderBytes bytes)
        : out_(out),
          header_bytes_(std::move(bytes)),
          layout_(header),
          cipher_(keys, header),
          full_code_(ParityCode::Make(static_cast<unsigned>(layout_.ChunksIn(0)),
                                      static_cast<unsigned>(layout_.group_parity))
                         .value()),
          last_code_(ParityCode::Make(static_cast<unsigned>(layout_.ChunksIn(layout_.groups - 1)),
                                      static_cast<unsigned>(layout_.group_parity))
                         .value()),
          ring_(layout_.group_data * layout_.slot_size > (8u << 20) ? 2 : 3,
                [this](GroupBatch& batch) { Seal(batch); }) {
        current_ = &Acquire(0);
    }

    std::span<std::uint8_t> Space() {
        if (current_ == nullptr)
            return {};
        return {current_->plaintext.get() + current_->used,
                GroupPlaintext(*current_) - current_->used};
    }

    Status Commit(std::size_t length) {
        if (current_ == nullptr)  // the whole plaintext is in: no room
            return length == 0 ? Status::Ok() : Status(Error{Text(Msg::kSealedContentLeftOver)});
        current_->used += length;
        if (current_->used < GroupPlaintext(*current_))
            return Status::Ok();
        const std::uint64_t next = current_->group + 1;
        ring_.Submit();
        current_ = nullptr;
        if (next == layout_.groups)
            return Status::Ok();
        while (!ring_.HasFree()) {
            if (Status written = WriteOldest(); !written)
                return written;
        }
        current_ = &Acquire(next);
        return Status::Ok();
    }

    Status Finish() {
        if (current_ != nullptr)
            return Error{Text(Msg::kSealedEndsEarly)};
        while (ring_.HasSubmitted()) {
            if (Status written = WriteOldest(); !written)
                return written;
        }
        if (Status parity = out_.Append(pending_parity_.data(), pending_parity_.size()); !parity)
            return parity;
        if (Status index = out_.Append(index_copy_.data(), index_copy_.size()); !index)
            return index;
        return out_.Append(header_bytes_.data(), header_bytes_.size());
    }

    const SealedHeaderBytes& header() const { return header_bytes_; }

  private:
    std::size_t GroupPlaintext(const GroupBatch& batch) const {
        const std::uint64_t first = layout_.FirstChunk(batch.group);
        const std::uint64_t end = first + layout_.ChunksIn(batch.group);
        return static_cast<std::size_t>(
            std::min(end * layout_.chunk_size, layout_.plaintext_length) -
            first * layout_.chunk_size);
    }

    GroupBatch& Acquire(std::uint64_t group) {
        GroupBatch& batch = ring_.Acquire();
        if (!batch.plaintext) {
            batch.plaintext = AllocateGroupMemory(layout_.group_data * layout_.chunk_size);
            batch.slots =
                AllocateGroupMemory((layout_.group_data + layout_.group_parity) * layout_.slot_size);
        }
        batch.group = group;
        batch.used = 0;
        return batch;
    }

    Status WriteOldest() {
        GroupBatch& batch = ring_.Oldest();
        const std::size_t data = layout_.ChunksIn(batch.group) * layout_.slot_size;
        const std::size_t parity = layout_.group_parity * layout_.slot_size;
        Status written = out_.Append(batch.slots.get(), data);
        if (written && batch.group > 0)
            written = out_.Append(pending_parity_.data(), pending_parity_.size());
        const std::size_t index = layout_.index_chunks * layout_.slot_size;
        if (index_copy_.size() < index) {
            const std::size_t now = std::min(index - index_copy_.size(), data);
            index_copy_.insert(index_copy_.end(), batch.slots.get(), batch.slots.get() + now);
        }
        pending_parity_.assign(batch.slots.get() + layout_.group_data * layout_.slot_size,
                               batch.slots.get() + layout_.group_data * layout_.slot_size + parity);
        ring_.Release();
        return written;
    }

    // On the worker (and the cores it borrows): every chunk into its slot,
    // the rest of a short last slot zeros, and its share of the group's
    // parity added while it is still in the cache; each core sums its
    // chunks' shares apart, then adds them to the group's parity.
    void Seal(GroupBatch& batch) {
        const std::uint64_t first = layout_.FirstChunk(batch.group);
        const std::size_t count = layout_.ChunksIn(batch.group);
        const std::size_t slot = layout_.slot_size;
        const ParityCode& code = count == layout_.group_data ? full_code_ : last_code_;
        std::uint8_t* parity_slots = batch.slots.get() + layout_.group_data * slot;
        std::memset(parity_slots, 0, layout_.group_parity * slot);
        std::mutex summing;
        team_.ForEachCoreTaking(count, [&](const auto& next) {
            ParitySum sum(code, slot);
            for (std::size_t j = 0; next(j);) {
                const std::size_t length = layout_.ChunkLength(first + j);
                std::uint8_t* at = batch.slots.get() + j * slot;
                cipher_.Seal(first + j, batch.plaintext.get() + j * layout_.chunk_size, length, at);
                std::memset(at + length + kSealedChunkOverhead, 0, layout_.chunk_size - length);
                sum.Add(static_cast<unsigned>(j), at);
            }
            std::lock_guard<std::mutex> lock(summing);
            sum.AddTo(parity_slots);
        });
    }

    BufferedWriter& out_;
    SealedHeaderBytes header_bytes_;
    ChunkLayout layout_;
    ChunkCipher cipher_;
    ParityCode full_code_;
    ParityCode last_code_;
    GroupBatch* current_ = nullptr;
    std::vector<std::uint8_t> pending_parity_;  // of the last group written
    std::vector<std::uint8_t> index_copy_;      // the index's slots, as written
    CoreTeam team_;                             // the cores the ring's worker borrows
    BatchRing<GroupBatch> ring_;                // last: its worker stops before the rest goes
};

Result<SealedStreamWriter> SealedStreamWriter::Begin(BufferedWriter& out, std::string_view password,
                                                     const SealedParameters& parameters,
                                                     std::uint64_t index_length,
                                                     std::uint64_t plaintext_length) {
    Result<SealedHeader> header = NewSealedHeader(parameters);
    if (!header)
        return header.error();
    header->index_length = index_length;
    header->plaintext_length = plaintext_length;
    Result<SealedKeys> keys = SealedKeys::Derive(password, header.value());
    if (!keys)
        return keys.error();
    return Begin(out, keys.value(), header.value());
}

Result<SealedStreamWriter> SealedStreamWriter::Begin(BufferedWriter& out, const SealedKeys& keys,
                                                     SealedHeader header) {
    header.key_check = keys.KeyCheck(EncodeSealedHeader(header));
    SealedHeaderBytes bytes = EncodeSealedHeader(header);
    if (Result<SealedHeader> sound = DecodeSealedHeader(bytes.data(), bytes.size()); !sound)
        return sound.error();
    if (Status written = out.Append(bytes.data(), bytes.size()); !written)
        return written.error();
    return SealedStreamWriter(std::make_unique<Groups>(out, keys, header, std::move(bytes)));
}

SealedStreamWriter::SealedStreamWriter(std::unique_ptr<Groups> groups)
    : groups_(std::move(groups)) {}

SealedStreamWriter::SealedStreamWriter(SealedStreamWriter&&) noexcept = default;
SealedStreamWriter& SealedStreamWriter::operator=(SealedStreamWriter&&) noexcept = default;
SealedStreamWriter::~SealedStreamWriter() = default;

Status SealedStreamWriter::Write(const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const std::span<std::uint8_t> room = Space();
        if (room.empty())
            return Error{Text(Msg::kSealedContentLeftOver)};
        const std::size_t now = std::min(length, room.size());
        std::memcpy(room.data(), data, now);
        if (Status committed = Commit(now); !committed)
            return committed;
        data += now;
        length -= now;
    }
    return Status::Ok();
}

std::span<std::uint8_t> SealedStreamWriter::Space() {
    return groups_->Space();
}

Status SealedStreamWriter::Commit(std::size_t length) {
    return groups_->Commit(length);
}

Status SealedStreamWriter::Finish() {
    return groups_->Finish();
}

const SealedHeaderBytes& SealedStreamWriter::header() const {
    return groups_->header();
}

}  // namespace velmora
