#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/guarded_memory.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// Reads the plaintext of a sealed container, authenticating it a message at
// a time as it goes; nothing it hands out is unauthenticated. Refusals are
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
    static Result<SealedStreamReader> Open(ByteSource& source, const SealedHeader& header,
                                           const SealedKeys& keys);

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

    const SealedHeader& header() const { return header_; }

  private:
    SealedStreamReader(ByteSource& source, const SealedHeader& header, StreamState state);
    Status NextMessage();

    ByteSource* source_;
    SealedHeader header_;
    SealedHeaderBytes header_bytes_;
    StreamState state_;
    std::size_t chunk_size_;
    std::int64_t offset_ = kSealedHeaderBytes;  // of the next message in the source
    std::uint64_t message_ = 0;                 // the next message's number
    bool final_read_ = false;
    std::vector<std::uint8_t> ciphertext_;
    std::vector<std::uint8_t> plaintext_;
    std::size_t plaintext_length_ = 0;  // of the last message opened
    std::size_t position_ = 0;          // in it, of the next byte handed out
};

}  // namespace velmora
