#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_messages.h"

namespace velmora {

class SealedKeys;
class SealedMessages;

// Reads the plaintext of a sealed container of either version,
// authenticating it a message (version 1) or a chunk (version 2) at a time
// as it goes; nothing it hands out is unauthenticated, and a version 2
// chunk that fails is rebuilt from its group's parity where it can be. A
// thread of the reader's own opens the messages ahead. Refusals are
// SealedFault::kDamaged (sealed_failure.h) but for a failing read of the
// source. After a failure the reader is unusable.
class SealedStreamReader {
  public:
    // Reads and checks the header, derives the key (the slow step), and
    // checks it against the header's key check: kWrongPassword when they
    // differ.
    static Result<SealedStreamReader> Open(ByteSource& source, std::string_view password);
    // The same with the header already read by ReadSealedHeader.
    static Result<SealedStreamReader> Open(ByteSource& source, const SealedHeader& header,
                                           std::string_view password);
    // The same with the keys already derived.
    // `listener` (version 2, kRepair) sees each group as it is reached.
    static Result<SealedStreamReader> Open(ByteSource& source, const SealedHeader& header,
                                           const SealedKeys& keys,
                                           SealedDamage damage = SealedDamage::kRepair,
                                           GroupListener listener = {});

    SealedStreamReader(SealedStreamReader&&) noexcept;
    SealedStreamReader& operator=(SealedStreamReader&&) noexcept;
    ~SealedStreamReader();

    // Exactly `length` plaintext bytes; refuses a plaintext that ends first.
    Status Read(std::uint8_t* out, std::size_t length);
    // The next 1 to `most` plaintext bytes (most > 0) where they lie, valid
    // until the next call; refuses a plaintext that has ended.
    Result<std::span<const std::uint8_t>> ReadView(std::size_t most);
    // Proves the end: every plaintext byte has been read, the final message
    // reached, and nothing follows it in the source.
    Status Finish();

    // The most plaintext bytes still to come, from the source's size (what
    // an index may claim is bounded by this).
    std::uint64_t PlaintextLeftAtMost() const;

    // Version 2's chunks rebuilt from parity so far.
    std::uint64_t RebuiltChunks() const;

    const SealedHeader& header() const { return header_; }

  private:
    SealedStreamReader(const SealedHeader& header, std::unique_ptr<SealedMessages> messages);
    Status NextMessage();

    SealedHeader header_;
    std::unique_ptr<SealedMessages> messages_;
    std::span<const std::uint8_t> message_;  // the plaintext of the last message opened
    std::size_t position_ = 0;               // in it, of the next byte handed out
    bool final_read_ = false;                // whether that message was the final one
};

}  // namespace velmora
