#include "container/sealed/sealed_stream_writer.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

#include "base/messages.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sodium_library.h"

namespace velmora {

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
    : out_(&out),
      state_(std::move(state)),
      header_(header),
      chunk_size_(chunk_size),
      buffers_(2 * std::size_t{chunk_size}) {}

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

std::span<std::uint8_t> SealedStreamWriter::Space() {
    if (used_ == chunk_size_) {
        full_waiting_ = true;
        current_ ^= 1;
        used_ = 0;
    }
    return {buffers_.data() + current_ * chunk_size_ + used_, chunk_size_ - used_};
}

Status SealedStreamWriter::Commit(std::size_t length) {
    used_ += length;
    if (length > 0 && full_waiting_) {
        full_waiting_ = false;
        return Seal(buffers_.data() + (current_ ^ 1) * chunk_size_, chunk_size_,
                    crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    }
    return Status::Ok();
}

Status SealedStreamWriter::Finish() {
    const std::uint8_t final_tag = crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    if (full_waiting_) {  // nothing followed the last full message
        full_waiting_ = false;
        return Seal(buffers_.data() + (current_ ^ 1) * chunk_size_, chunk_size_, final_tag);
    }
    return Seal(buffers_.data() + current_ * chunk_size_, used_, final_tag);
}

Status SealedStreamWriter::Seal(const std::uint8_t* plaintext, std::size_t length,
                                std::uint8_t tag) {
    const std::size_t sealed_length = length + kSealedMessageOverhead;
    std::uint8_t* sealed;
    if (sealed_length <= kBufferedBytes) {
        Result<std::uint8_t*> room = out_->Reserve(sealed_length);
        if (!room)
            return room.error();
        sealed = room.value();
    } else {
        ciphertext_.resize(sealed_length);
        sealed = ciphertext_.data();
    }
    crypto_secretstream_xchacha20poly1305_push(state_.get(), sealed, nullptr, plaintext, length,
                                               first_ ? header_.data() : nullptr,
                                               first_ ? header_.size() : 0, tag);
    first_ = false;
    if (sealed_length <= kBufferedBytes) {
        out_->Commit(sealed_length);
        return Status::Ok();
    }
    return out_->Append(sealed, sealed_length);
}

}  // namespace velmora
