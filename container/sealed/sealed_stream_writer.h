#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "base/result.h"
#include "container/buffered_io.h"
#include "container/sealed/guarded_memory.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// Writes a sealed container: the header, then the plaintext it is given (the
// index, then every file's bytes) sealed as messages of exactly chunk_size
// bytes, the last one, of 0 to chunk_size bytes, tagged final. Plaintext
// reaches it by copy (Write) or filled in place (Space, Commit), a batch of
// messages at a time; each batch is sealed on a thread of the writer's own
// while the next is filled, and written to `out` (which must outlive the
// writer) by the calling thread. After a failure, or after Finish, nothing
// more may be written.
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

    SealedStreamWriter(SealedStreamWriter&&) noexcept;
    SealedStreamWriter& operator=(SealedStreamWriter&&) noexcept;
    ~SealedStreamWriter();

    Status Write(const std::uint8_t* data, std::size_t length);

    // Room for the next plaintext bytes, never empty, to be filled in place
    // and then committed (any part of it, none included).
    std::span<std::uint8_t> Space();
    Status Commit(std::size_t length);

    // Seals the last message, tagged final, and writes everything still
    // sealed to `out`. Does not flush `out`.
    Status Finish();

    const SealedHeaderBytes& header() const;

  private:
    class Batches;
    SealedStreamWriter(BufferedWriter& out, StreamState state, const SealedHeaderBytes& header,
                       std::uint32_t chunk_size);

    std::unique_ptr<Batches> batches_;
};

}  // namespace velmora
