#include "container/sealed/chunk_layout.h"

#include <algorithm>

#include "container/sealed/sealed_format.h"

namespace velmora {
namespace {

std::uint64_t CeilDivide(std::uint64_t a, std::uint64_t b) {
    return a / b + (a % b != 0 ? 1 : 0);
}

}  // namespace

ChunkLayout::ChunkLayout(const SealedHeader& header)
    : chunk_size(header.parameters.chunk_size),
      slot_size(header.parameters.chunk_size + kSealedChunkOverhead),
      header_size(kSealedHeaderBytes2),
      chunks(std::max<std::uint64_t>(1, CeilDivide(header.plaintext_length, chunk_size))),
      groups(CeilDivide(chunks, header.parameters.group_data)),
      group_data(header.parameters.group_data),
      group_parity(header.parameters.group_parity),
      index_chunks(std::max<std::uint64_t>(1, CeilDivide(header.index_length, chunk_size))),
      plaintext_length(header.plaintext_length) {}

std::uint64_t ChunkLayout::ChunkLength(std::uint64_t n) const {
    return n + 1 < chunks ? chunk_size : plaintext_length - n * chunk_size;
}

std::uint64_t ChunkLayout::ChunksIn(std::uint64_t group) const {
    return std::min(group_data, chunks - FirstChunk(group));
}

// Before the data of group g: the data of groups 0..g-1 and the parity of
// groups 0..g-2.
std::uint64_t ChunkLayout::ChunkAt(std::uint64_t chunk) const {
    const std::uint64_t group = GroupOf(chunk);
    const std::uint64_t parity_before = group >= 2 ? (group - 1) * group_parity : 0;
    return header_size + (chunk + parity_before) * slot_size;
}

// Group g's parity follows the data of group g+1, or, for the last group,
// the whole data and the parity before it.
std::uint64_t ChunkLayout::ParityAt(std::uint64_t group, std::uint64_t parity) const {
    const std::uint64_t data_before = std::min((group + 2) * group_data, chunks);
    return header_size + (data_before + group * group_parity + parity) * slot_size;
}

std::uint64_t ChunkLayout::IndexCopyAt(std::uint64_t chunk) const {
    return header_size + (chunks + groups * group_parity + chunk) * slot_size;
}

std::uint64_t ChunkLayout::HeaderCopyAt() const {
    return IndexCopyAt(index_chunks);
}

std::uint64_t ChunkLayout::ContainerSize() const {
    return HeaderCopyAt() + header_size;
}

void ChunkNonce(const SealedHeader& header, std::uint64_t n, bool last, std::uint8_t* nonce) {
    std::copy(header.nonce_prefix.begin(), header.nonce_prefix.end(), nonce);
    PutLittleEndian(nonce + kSealedNoncePrefixBytes, n | (last ? std::uint64_t{1} << 63 : 0));
}

}  // namespace velmora
