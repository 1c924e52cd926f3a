#pragma once

#include <cstdint>

#include "container/sealed/sealed_header.h"

namespace velmora {

// Where everything of a version 2 container lies (docs/sealed-format.md),
// from its header alone. Every chunk and every parity chunk takes one slot
// of chunk_size + 16 bytes. Chunks are numbered 0..chunks-1 over the
// plaintext; group g holds chunks g*K .. g*K+K-1 (the last group may hold
// fewer). After the header come the groups' data in order, the parity of
// group g right after the data of group g+1 (the last group's after the
// one before it), so that a group's parity never lies beside its data;
// then a copy of the slots of the index's chunks, then a copy of the header.
struct ChunkLayout {
    explicit ChunkLayout(const SealedHeader& header);

    std::uint64_t chunk_size;   // plaintext bytes of every chunk but the last
    std::uint64_t slot_size;    // chunk_size + 16
    std::uint64_t header_size;  // 140
    std::uint64_t chunks;       // at least 1
    std::uint64_t groups;
    std::uint64_t group_data;    // K
    std::uint64_t group_parity;  // P
    std::uint64_t index_chunks;  // the chunks holding index bytes, copied at the end
    std::uint64_t plaintext_length;

    // Plaintext bytes in chunk `n` (the last one 1..chunk_size; an empty
    // plaintext cannot be, as the index has at least 8 bytes).
    std::uint64_t ChunkLength(std::uint64_t n) const;
    std::uint64_t GroupOf(std::uint64_t chunk) const { return chunk / group_data; }
    std::uint64_t FirstChunk(std::uint64_t group) const { return group * group_data; }
    std::uint64_t ChunksIn(std::uint64_t group) const;
    // Byte offsets in the container.
    std::uint64_t ChunkAt(std::uint64_t chunk) const;
    std::uint64_t ParityAt(std::uint64_t group, std::uint64_t parity) const;
    std::uint64_t IndexCopyAt(std::uint64_t chunk) const;
    std::uint64_t HeaderCopyAt() const;
    std::uint64_t ContainerSize() const;
};

// The 24-byte nonce of chunk `n`: the header's 16-byte prefix, then n as a
// little-endian u64 whose top bit is set on the last chunk.
void ChunkNonce(const SealedHeader& header, std::uint64_t n, bool last, std::uint8_t* nonce);

}  // namespace velmora
