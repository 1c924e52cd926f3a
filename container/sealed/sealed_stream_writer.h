#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "base/result.h"
#include "container/buffered_io.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// Writes a sealed container (version 2, docs/sealed-format.md): the
// header, then exactly the header's plaintext_length bytes of plaintext
// (the index, then every file's bytes) as chunks of chunk_size bytes, each
// sealed on its own, a group at a time with its parity, then the copies of
// the index's chunks and of the header. Plaintext reaches it by copy (Write)
// or filled in place (Space, Commit); each group is sealed on a thread of
// the writer's own while the next is filled, and written to `out` (which
// must outlive the writer) by the calling thread. After a failure, or after
// Finish, nothing more may be written.
class SealedStreamWriter {
  public:
    // Derives the key (the slow step: crypto_pwhash with the parameters'
    // limits), with a fresh random salt and nonce prefix, and writes the
    // header to out.
    static Result<SealedStreamWriter> Begin(BufferedWriter& out, std::string_view password,
                                            const SealedParameters& parameters,
                                            std::uint64_t index_length,
                                            std::uint64_t plaintext_length);
    // The same with the keys already derived from `header`'s salt and
    // limits (NewSealedHeader), its lengths set.
    static Result<SealedStreamWriter> Begin(BufferedWriter& out, const SealedKeys& keys,
                                            SealedHeader header);

    SealedStreamWriter(SealedStreamWriter&&) noexcept;
    SealedStreamWriter& operator=(SealedStreamWriter&&) noexcept;
    ~SealedStreamWriter();

    // Refuses plaintext beyond the header's length.
    Status Write(const std::uint8_t* data, std::size_t length);

    // Room for the next plaintext bytes, to be filled in place and then
    // committed (any part of it, none included); empty once the header's
    // length has been given.
    std::span<std::uint8_t> Space();
    Status Commit(std::size_t length);

    // Once the whole plaintext is in: writes the last group, its parity
    // and the copies to `out`. Does not flush `out`.
    Status Finish();

    const SealedHeaderBytes& header() const;

  private:
    class Groups;
    explicit SealedStreamWriter(std::unique_ptr<Groups> groups);

    std::unique_ptr<Groups> groups_;
};

}  // namespace velmora
