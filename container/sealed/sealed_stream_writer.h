#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "container/buffered_io.h"
#include "container/sealed/guarded_memory.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// Writes a sealed container: the header, then the plaintext it is given (the
// index, then every file's bytes) sealed as messages of exactly chunk_size
// bytes, the last one, of 0 to chunk_size bytes, tagged final. Plaintext
// reaches it by copy (Write) or filled in place (Space, Commit); each full
// message is encrypted straight into the BufferedWriter's buffer, which
// must outlive the writer. After a failure, or after Finish, nothing more
// may be written.
class SealedStreamWriter {
  public:
    // Derives the key (the slow step: crypto_pwhash with the parameters'
    // limits), with a fresh random salt and stream header, and writes the
    // header to out.
    static Result<SealedStreamWriter> Begin(BufferedWriter& out, std::string_view password,
                                            const SealedParameters& parameters = {});
    // The same with the keys already derived from `header`'s salt and
    // limits (NewSealedHeader).
    static Result<SealedStreamWriter> Begin(BufferedWriter& out, const SealedKeys& keys,
                                            SealedHeader header);

    Status Write(const std::uint8_t* data, std::size_t length);

    // Room for the next plaintext bytes, never empty, to be filled in place
    // and then committed (any part of it, none included).
    std::span<std::uint8_t> Space();
    Status Commit(std::size_t length);

    // Seals the last message, tagged final. Does not flush `out`.
    Status Finish();

    const SealedHeaderBytes& header() const { return header_; }

  private:
    SealedStreamWriter(BufferedWriter& out, StreamState state, const SealedHeaderBytes& header,
                       std::uint32_t chunk_size);
    Status Seal(const std::uint8_t* plaintext, std::size_t length, std::uint8_t tag);

    BufferedWriter* out_;
    StreamState state_;
    SealedHeaderBytes header_;  // the first message's associated data
    std::size_t chunk_size_;
    // Two message buffers: a full one waits unsealed until plaintext
    // arrives in the other, since only then is it known not to be the last.
    std::vector<std::uint8_t> buffers_;
    std::size_t current_ = 0;  // which buffer is being filled: 0 or 1
    std::size_t used_ = 0;     // bytes filled in it
    bool full_waiting_ = false;
    bool first_ = true;
    std::vector<std::uint8_t> ciphertext_;  // for messages longer than out's buffer
};

}  // namespace velmora
