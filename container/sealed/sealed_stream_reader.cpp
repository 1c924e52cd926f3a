#include "container/sealed/sealed_stream_reader.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/messages.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_messages.h"

namespace velmora {

Result<SealedStreamReader> SealedStreamReader::Open(ByteSource& source, std::string_view password) {
    Result<SealedHeader> header = ReadSealedHeader(source);
    if (!header)
        return header.error();
    return Open(source, header.value(), password);
}

Result<SealedStreamReader> SealedStreamReader::Open(ByteSource& source, const SealedHeader& header,
                                                    std::string_view password) {
    if (Status ready = EnsureSodium(); !ready)
        return ready.error();
    Result<SealedKeys> keys = SealedKeys::Derive(password, header);
    if (!keys)
        return keys.error();
    return Open(source, header, keys.value());
}

Result<SealedStreamReader> SealedStreamReader::Open(ByteSource& source, const SealedHeader& header,
                                                    const SealedKeys& keys, SealedDamage damage,
                                                    GroupListener listener) {
    if (Status unlocked = keys.Unlock(header); !unlocked)
        return unlocked.error();
    if (header.version == kSealedVersion2)
        return SealedStreamReader(header,
                                  ChunkMessages(source, header, keys, damage, std::move(listener)));
    // Even an empty plaintext is one message.
    if (source.Size() < static_cast<std::int64_t>(kSealedHeaderBytes + kSealedMessageOverhead))
        return DamagedError(Text(Msg::kSealedNoFinalMessage));
    StreamState state = NewStreamState();
    if (crypto_secretstream_xchacha20poly1305_init_pull(state.get(), header.stream_header.data(),
                                                        keys.stream_key()) != 0)
        return DamagedError(Text(Msg::kSealedMessageNotAuthentic, {"0"}));
    return SealedStreamReader(
        header, SecretStreamMessages(source, std::move(state), EncodeSealedHeader(header),
                                     header.parameters.chunk_size));
}

SealedStreamReader::SealedStreamReader(const SealedHeader& header,
                                       std::unique_ptr<SealedMessages> messages)
    : header_(header), messages_(std::move(messages)) {}

SealedStreamReader::SealedStreamReader(SealedStreamReader&&) noexcept = default;
SealedStreamReader& SealedStreamReader::operator=(SealedStreamReader&&) noexcept = default;
SealedStreamReader::~SealedStreamReader() = default;

Status SealedStreamReader::NextMessage() {
    Result<SealedMessages::Message> next = messages_->Next();
    if (!next)
        return next.error();
    message_ = next->plaintext;
    position_ = 0;
    final_read_ = next->final;
    return Status::Ok();
}

Result<std::span<const std::uint8_t>> SealedStreamReader::ReadView(std::size_t most) {
    while (position_ == message_.size()) {
        if (final_read_)
            return DamagedError(Text(Msg::kSealedEndsEarly));
        if (Status next = NextMessage(); !next)
            return next.error();
    }
    const std::size_t now = std::min(most, message_.size() - position_);
    const std::span<const std::uint8_t> view = message_.subspan(position_, now);
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
    if (position_ == message_.size() && !final_read_) {
        if (Status next = NextMessage(); !next)
            return next;
    }
    if (position_ != message_.size())
        return DamagedError(Text(Msg::kSealedContentLeftOver));
    return messages_->End();
}

std::uint64_t SealedStreamReader::PlaintextLeftAtMost() const {
    const std::uint64_t most = message_.size() - position_;
    return final_read_ ? most : most + messages_->PlaintextAfterHandedOut();
}

std::uint64_t SealedStreamReader::RebuiltChunks() const {
    return messages_->RebuiltChunks();
}

}  // namespace velmora
