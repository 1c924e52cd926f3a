#include <sodium.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "base/messages.h"
#include "container/sealed/batch_ring.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_messages.h"

// Version 1's messages: one crypto_secretstream_xchacha20poly1305 stream.
namespace velmora {

// How the stream's messages are grouped into batches for the cipher's
// thread: about 256 KiB of plaintext each, so handing one over costs little
// beside sealing it (about 0.2 ms) while the batches' memory, touched for
// the first time by every new stream, stays small (with 1 MiB batches, a
// stream of 64 MiB sealed at 0.82 GiB/s instead of 1.11, the difference
// mostly page faults). Four of them in turn, two when a message alone is
// larger, to bound the memory a container's chunk size can ask for.
struct StreamBatchLayout {
    explicit StreamBatchLayout(std::size_t chunk)
        : chunk_size(chunk),
          messages(chunk >= kAboutOneBatch ? 1 : kAboutOneBatch / chunk),
          plaintext_bytes(messages * chunk),
          sealed_bytes(messages * (chunk + kSealedMessageOverhead)),
          ring_size(chunk > kAboutOneBatch ? 2 : 4) {}

    static constexpr std::size_t kAboutOneBatch = std::size_t{1} << 18;

    std::size_t chunk_size;
    std::size_t messages;         // per batch
    std::size_t plaintext_bytes;  // of a full batch
    std::size_t sealed_bytes;     // of a full batch
    std::size_t ring_size;        // batches in turn
};

namespace {

// One batch of messages as read from the source, and what opening it gave.
struct OpenBatch {
    std::unique_ptr<std::uint8_t[]> ciphertext;
    std::unique_ptr<std::uint8_t[]> plaintext;
    std::size_t ciphertext_length = 0;
    bool reaches_end = false;         // whether the source ends with it
    std::uint64_t first_message = 0;  // the number of its first message
    // The worker's: how many of its messages opened and are well formed
    // (each but the last chunk_size bytes long), and what stopped it early.
    std::size_t opened = 0;
    std::size_t last_length = 0;
    bool final = false;  // whether the last one opened is the final message
    Status status = Status::Ok();
};

class SecretStreamBatches : public SealedMessages {
  public:
    SecretStreamBatches(ByteSource& source, StreamState state, const SealedHeaderBytes& header,
                        std::size_t chunk_size)
        : source_(source),
          state_(std::move(state)),
          header_(header),
          layout_(chunk_size),
          ring_(layout_.ring_size, [this](OpenBatch& batch) { Open(batch); }) {}

    // The next message opened, or what refuses it (and everything after).
    Result<Message> Next() override {
        if (!status_)
            return status_.error();
        for (;;) {
            if (current_ != nullptr && next_ < current_->opened) {
                const std::size_t i = next_++;
                const bool last = next_ == current_->opened;
                ++handed_out_;
                return Message{{current_->plaintext.get() + i * layout_.chunk_size,
                                last ? current_->last_length : layout_.chunk_size},
                               last && current_->final};
            }
            if (current_ != nullptr) {
                if (!current_->status) {
                    status_ = current_->status;
                    return status_.error();
                }
                ring_.Release();
                current_ = nullptr;
            }
            ReadAhead();
            if (!ring_.HasSubmitted()) {
                status_ =
                    read_status_ ? DamagedError(Text(Msg::kSealedNoFinalMessage)) : read_status_;
                return status_.error();
            }
            current_ = &ring_.Oldest();
            next_ = 0;
        }
    }

    // From the source's bytes after the messages handed out.
    std::uint64_t PlaintextAfterHandedOut() const override {
        const std::uint64_t left = static_cast<std::uint64_t>(source_.Size()) - kSealedHeaderBytes -
                                   handed_out_ * (layout_.chunk_size + kSealedMessageOverhead);
        const std::size_t chunk = layout_.chunk_size;
        const std::uint64_t message = chunk + kSealedMessageOverhead;
        std::uint64_t most = left / message * chunk;
        if (left % message > kSealedMessageOverhead)
            most += left % message - kSealedMessageOverhead;
        return most;
    }

  private:
    // Reads the source into every free batch, and hands each to the worker.
    void ReadAhead() {
        const std::int64_t size = source_.Size();
        while (read_status_ && read_from_ < size && ring_.HasFree()) {
            OpenBatch& batch = ring_.Acquire();
            if (!batch.ciphertext) {
                batch.ciphertext.reset(new std::uint8_t[layout_.sealed_bytes]);
                batch.plaintext.reset(new std::uint8_t[layout_.plaintext_bytes]);
            }
            const std::size_t length = static_cast<std::size_t>(
                std::min<std::int64_t>(size - read_from_, layout_.sealed_bytes));
            read_status_ = source_.ReadAt(read_from_, batch.ciphertext.get(), length);
            if (!read_status_)
                return;
            batch.ciphertext_length = length;
            read_from_ += static_cast<std::int64_t>(length);
            batch.reaches_end = read_from_ == size;
            batch.first_message = next_first_message_;
            next_first_message_ += layout_.messages;
            ring_.Submit();
        }
    }

    // On the worker. The writer makes every message but the last exactly
    // chunk_size long and the last empty only when it is the only one;
    // nothing else is accepted, so one plaintext has one form.
    void Open(OpenBatch& batch) {
        batch.opened = 0;
        batch.final = false;
        batch.status = Status::Ok();
        if (broken_) {  // an earlier batch failed: this one is never read
            batch.status = DamagedError(Text(Msg::kSealedNoFinalMessage));
            return;
        }
        batch.status = OpenMessages(batch);
        broken_ = !batch.status;
    }

    Status OpenMessages(OpenBatch& batch) {
        const std::size_t chunk = layout_.chunk_size;
        std::uint64_t number = batch.first_message;
        std::size_t at = 0;
        while (at < batch.ciphertext_length) {
            const std::size_t left = batch.ciphertext_length - at;
            if (left < kSealedMessageOverhead)
                return DamagedError(Text(Msg::kSealedNoFinalMessage));
            const std::size_t length = std::min(left, chunk + kSealedMessageOverhead);
            const bool first = number == 0;
            unsigned long long opened = 0;
            unsigned char tag = 0;
            auto not_authentic = [&] {
                return DamagedError(
                    Text(Msg::kSealedMessageNotAuthentic, {std::to_string(number)}));
            };
            if (crypto_secretstream_xchacha20poly1305_pull(
                    state_.get(), batch.plaintext.get() + batch.opened * chunk, &opened, &tag,
                    batch.ciphertext.get() + at, length, first ? header_.data() : nullptr,
                    first ? header_.size() : 0) != 0)
                return not_authentic();
            const bool final = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
            const bool well_formed =
                final
                    ? (opened > 0 || first)
                    : (tag == crypto_secretstream_xchacha20poly1305_TAG_MESSAGE && opened == chunk);
            if (!well_formed)
                return not_authentic();
            at += length;
            if (final && !(at == batch.ciphertext_length && batch.reaches_end))
                return DamagedError(Text(Msg::kSealedDataAfterEnd));
            ++batch.opened;
            batch.last_length = static_cast<std::size_t>(opened);
            ++number;
            if (final) {
                batch.final = true;
                return Status::Ok();
            }
        }
        if (batch.reaches_end)
            return DamagedError(Text(Msg::kSealedNoFinalMessage));
        return Status::Ok();
    }

    ByteSource& source_;
    StreamState state_;         // the worker's once the ring runs
    SealedHeaderBytes header_;  // the first message's associated data
    StreamBatchLayout layout_;
    bool broken_ = false;  // the worker's
    // The calling thread's.
    std::int64_t read_from_ = kSealedHeaderBytes;
    std::uint64_t next_first_message_ = 0;
    Status read_status_ = Status::Ok();
    OpenBatch* current_ = nullptr;
    std::size_t next_ = 0;  // in current_, the next message to hand out
    std::uint64_t handed_out_ = 0;
    Status status_ = Status::Ok();
    BatchRing<OpenBatch> ring_;  // last: its worker stops before the rest goes
};

}  // namespace

std::unique_ptr<SealedMessages> SecretStreamMessages(ByteSource& source, StreamState state,
                                                     const SealedHeaderBytes& header,
                                                     std::size_t chunk_size) {
    return std::make_unique<SecretStreamBatches>(source, std::move(state), header, chunk_size);
}

}  // namespace velmora
