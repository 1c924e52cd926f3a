#include "container/sealed/sealed_stream_writer.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

#include "base/messages.h"
#include "container/sealed/batch_ring.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/stream_batch_layout.h"
#include "container/sealed/sodium_library.h"

namespace velmora {
namespace {

// One batch of messages: its plaintext, then the same sealed.
struct SealBatch {
    std::unique_ptr<std::uint8_t[]> plaintext;
    std::unique_ptr<std::uint8_t[]> sealed;
    std::size_t used = 0;  // plaintext bytes filled
    bool final = false;    // whether its last message ends the stream
    std::size_t sealed_length = 0;
};

}  // namespace

// Plaintext is filled into the current batch; a full batch waits, unsealed,
// until plaintext arrives in the next one, since only then is it known that
// its last message is not the stream's last.
class SealedStreamWriter::Batches {
  public:
    Batches(BufferedWriter& out, StreamState state, const SealedHeaderBytes& header,
            std::size_t chunk_size)
        : out_(out),
          state_(std::move(state)),
          header_(header),
          layout_(chunk_size),
          ring_(layout_.ring_size, [this](SealBatch& batch) { Seal(batch); }) {
        current_ = &Acquire();
    }

    std::span<std::uint8_t> Space() {
        if (current_->used == layout_.plaintext_bytes) {
            waiting_ = current_;
            current_ = &Acquire();  // Commit made sure one is free
        }
        return {current_->plaintext.get() + current_->used,
                layout_.plaintext_bytes - current_->used};
    }

    Status Commit(std::size_t length) {
        current_->used += length;
        if (length > 0 && waiting_ != nullptr) {
            waiting_ = nullptr;
            ring_.Submit();
        }
        if (current_->used == layout_.plaintext_bytes) {
            while (!ring_.HasFree()) {
                if (Status written = WriteOldest(); !written)
                    return written;
            }
        }
        return Status::Ok();
    }

    Status Finish() {
        SealBatch& last = waiting_ != nullptr ? *waiting_ : *current_;
        last.final = true;
        ring_.Submit();
        while (ring_.HasSubmitted()) {
            if (Status written = WriteOldest(); !written)
                return written;
        }
        return Status::Ok();
    }

    const SealedHeaderBytes& header() const { return header_; }

  private:
    // Buffers are made when a batch is first used (a small stream uses
    // one) and left uninitialised: every byte is written before it is read.
    SealBatch& Acquire() {
        SealBatch& batch = ring_.Acquire();
        if (!batch.plaintext) {
            batch.plaintext.reset(new std::uint8_t[layout_.plaintext_bytes]);
            batch.sealed.reset(new std::uint8_t[layout_.sealed_bytes]);
        }
        batch.used = 0;
        batch.final = false;
        return batch;
    }

    Status WriteOldest() {
        SealBatch& batch = ring_.Oldest();
        const Status written = out_.Append(batch.sealed.get(), batch.sealed_length);
        ring_.Release();
        return written;
    }

    // On the worker. Every message is chunk_size long but the final one;
    // an empty stream is one empty final message.
    void Seal(SealBatch& batch) {
        const std::size_t chunk = layout_.chunk_size;
        std::size_t at = 0;
        std::uint8_t* sealed = batch.sealed.get();
        do {
            const std::size_t length = std::min(chunk, batch.used - at);
            const bool last = at + length == batch.used;
            const std::uint8_t tag = last && batch.final
                                         ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                         : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
            crypto_secretstream_xchacha20poly1305_push(
                state_.get(), sealed, nullptr, batch.plaintext.get() + at, length,
                first_ ? header_.data() : nullptr, first_ ? header_.size() : 0, tag);
            first_ = false;
            sealed += length + kSealedMessageOverhead;
            at += length;
        } while (at < batch.used);
        batch.sealed_length = static_cast<std::size_t>(sealed - batch.sealed.get());
    }

    BufferedWriter& out_;
    StreamState state_;  // the worker's once the ring runs
    SealedHeaderBytes header_;  // the first message's associated data
    StreamBatchLayout layout_;
    bool first_ = true;  // the worker's
    SealBatch* current_ = nullptr;
    SealBatch* waiting_ = nullptr;
    BatchRing<SealBatch> ring_;  // last: its worker stops before the rest goes
};

Result<SealedStreamWriter> SealedStreamWriter::Begin(BufferedWriter& out,
                                                     std::string_view password,
                                                     const SealedParameters& parameters) {
    Result<SealedHeader> header = NewSealedHeader(parameters);
    if (!header)
        return header.error();
    Result<SealedKeys> keys = SealedKeys::Derive(password, header->salt, parameters);
    if (!keys)
        return keys.error();
    return Begin(out, keys.value(), header.value());
}

Result<SealedStreamWriter> SealedStreamWriter::Begin(BufferedWriter& out, const SealedKeys& keys,
                                                     SealedHeader header) {
    StreamState state = NewStreamState();
    crypto_secretstream_xchacha20poly1305_init_push(state.get(), header.stream_header.data(),
                                                    keys.stream_key());
    header.key_check = keys.KeyCheck(EncodeSealedHeader(header));
    const SealedHeaderBytes bytes = EncodeSealedHeader(header);
    if (Status written = out.Append(bytes.data(), bytes.size()); !written)
        return written.error();
    return SealedStreamWriter(out, std::move(state), bytes, header.parameters.chunk_size);
}

SealedStreamWriter::SealedStreamWriter(BufferedWriter& out, StreamState state,
                                       const SealedHeaderBytes& header, std::uint32_t chunk_size)
    : batches_(std::make_unique<Batches>(out, std::move(state), header, chunk_size)) {}

SealedStreamWriter::SealedStreamWriter(SealedStreamWriter&&) noexcept = default;
SealedStreamWriter& SealedStreamWriter::operator=(SealedStreamWriter&&) noexcept = default;
SealedStreamWriter::~SealedStreamWriter() = default;

Status SealedStreamWriter::Write(const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const std::span<std::uint8_t> room = Space();
        const std::size_t now = std::min(length, room.size());
        std::memcpy(room.data(), data, now);
        if (Status committed = Commit(now); !committed)
            return committed;
        data += now;
        length -= now;
    }
    return Status::Ok();
}

std::span<std::uint8_t> SealedStreamWriter::Space() { return batches_->Space(); }

Status SealedStreamWriter::Commit(std::size_t length) { return batches_->Commit(length); }

Status SealedStreamWriter::Finish() { return batches_->Finish(); }

const SealedHeaderBytes& SealedStreamWriter::header() const { return batches_->header(); }

}  // namespace velmora
