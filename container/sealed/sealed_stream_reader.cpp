#include "container/sealed/sealed_stream_reader.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/messages.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sodium_library.h"

namespace velmora {

Result<SealedStreamReader> SealedStreamReader::Open(ByteSource& source, std::string_view password) {
    Result<SealedHeader> header = ReadSealedHeader(source);
    if (!header)
        return header.error();
    return Open(source, header.value(), password);
}

Result<SealedStreamReader> SealedStreamReader::Open(ByteSource& source, const SealedHeader& header,
                                                    std::string_view password) {
    // Even an empty plaintext is one message: refused before the slow step.
    if (source.Size() < static_cast<std::int64_t>(kSealedHeaderBytes + kSealedMessageOverhead))
        return DamagedError(Text(Msg::kSealedNoFinalMessage));
    if (Status ready = EnsureSodium(); !ready)
        return ready.error();
    Result<SealedKeys> keys = SealedKeys::Derive(password, header.salt, header.parameters);
    if (!keys)
        return keys.error();
    return Open(source, header, keys.value());
}

Result<SealedStreamReader> SealedStreamReader::Open(ByteSource& source, const SealedHeader& header,
                                                    const SealedKeys& keys) {
    if (source.Size() < static_cast<std::int64_t>(kSealedHeaderBytes + kSealedMessageOverhead))
        return DamagedError(Text(Msg::kSealedNoFinalMessage));
    if (Status unlocked = keys.Unlock(header); !unlocked)
        return unlocked.error();
    StreamState state = NewStreamState();
    if (crypto_secretstream_xchacha20poly1305_init_pull(state.get(), header.stream_header.data(),
                                                        keys.stream_key()) != 0)
        return DamagedError(Text(Msg::kSealedMessageNotAuthentic, {"0"}));
    return SealedStreamReader(source, header, std::move(state));
}

SealedStreamReader::SealedStreamReader(ByteSource& source, const SealedHeader& header,
                                       StreamState state)
    : source_(&source),
      header_(header),
      header_bytes_(EncodeSealedHeader(header)),
      state_(std::move(state)),
      chunk_size_(header.parameters.chunk_size),
      ciphertext_(chunk_size_ + kSealedMessageOverhead),
      plaintext_(chunk_size_) {}

Status SealedStreamReader::NextMessage() {
    const std::int64_t left = source_->Size() - offset_;
    if (left < static_cast<std::int64_t>(kSealedMessageOverhead))
        return DamagedError(Text(Msg::kSealedNoFinalMessage));
    const std::size_t length = static_cast<std::size_t>(
        std::min<std::int64_t>(left, static_cast<std::int64_t>(ciphertext_.size())));
    if (Status read = source_->ReadAt(offset_, ciphertext_.data(), length); !read)
        return read;
    const bool first = message_ == 0;
    unsigned long long opened = 0;
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(
            state_.get(), plaintext_.data(), &opened, &tag, ciphertext_.data(), length,
            first ? header_bytes_.data() : nullptr, first ? header_bytes_.size() : 0) != 0)
        return DamagedError(Text(Msg::kSealedMessageNotAuthentic, {std::to_string(message_)}));
    offset_ += static_cast<std::int64_t>(length);
    plaintext_length_ = static_cast<std::size_t>(opened);
    position_ = 0;
    // The writer makes every message but the last exactly chunk_size long
    // and the last empty only when it is the only one; nothing else is
    // accepted, so one plaintext has one form.
    const bool final = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    const bool well_formed = final ? (plaintext_length_ > 0 || first)
                                   : (tag == crypto_secretstream_xchacha20poly1305_TAG_MESSAGE &&
                                      plaintext_length_ == chunk_size_);
    if (!well_formed)
        return DamagedError(Text(Msg::kSealedMessageNotAuthentic, {std::to_string(message_)}));
    ++message_;
    if (final) {
        final_read_ = true;
        if (offset_ != source_->Size())
            return DamagedError(Text(Msg::kSealedDataAfterEnd));
    }
    return Status::Ok();
}

Result<std::span<const std::uint8_t>> SealedStreamReader::ReadView(std::size_t most) {
    while (position_ == plaintext_length_) {
        if (final_read_)
            return DamagedError(Text(Msg::kSealedEndsEarly));
        if (Status next = NextMessage(); !next)
            return next.error();
    }
    const std::size_t now = std::min(most, plaintext_length_ - position_);
    const std::span<const std::uint8_t> view(plaintext_.data() + position_, now);
    position_ += now;
    return view;
}

Status SealedStreamReader::Read(std::uint8_t* out, std::size_t length) {
    while (length > 0) {
        Result<std::span<const std::uint8_t>> view = ReadView(length);
        if (!view)
            return view.error();
        std::memcpy(out, view->data(), view->size());
        out += view->size();
        length -= view->size();
    }
    return Status::Ok();
}

Status SealedStreamReader::Finish() {
    if (position_ == plaintext_length_ && !final_read_) {
        if (Status next = NextMessage(); !next)
            return next;
    }
    if (position_ != plaintext_length_)
        return DamagedError(Text(Msg::kSealedContentLeftOver));
    return Status::Ok();
}

std::uint64_t SealedStreamReader::PlaintextLeftAtMost() const {
    std::uint64_t most = plaintext_length_ - position_;
    if (final_read_)
        return most;
    const auto left = static_cast<std::uint64_t>(source_->Size() - offset_);
    const std::uint64_t message = chunk_size_ + kSealedMessageOverhead;
    most += left / message * chunk_size_;
    if (left % message > kSealedMessageOverhead)
        most += left % message - kSealedMessageOverhead;
    return most;
}

}  // namespace velmora
