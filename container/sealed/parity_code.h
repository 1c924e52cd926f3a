#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"

namespace velmora {

// Reed-Solomon over GF(2^8) (ISA-L): `data_blocks` (k) blocks of equal
// length give `parity_blocks` (p) parity blocks; any p of the k + p blocks
// may be missing and are rebuilt from the others. The coding rows are
// ISA-L's gf_gen_cauchy1_matrix(k + p, k): parity byte r is the GF(2^8)
// (polynomial 0x11D) sum over j of inv((k + r) XOR j) * data_j. Every byte
// is worked by ISA-L; a call allocates only tables of a few KiB, and calls
// on one code may run on several threads at once.
class ParityCode {
  public:
    // Bounds: 1 <= k, 1 <= p, k + p <= 255; a programming error otherwise.
    static Result<ParityCode> Make(unsigned data_blocks, unsigned parity_blocks);

    unsigned data_blocks() const { return data_blocks_; }
    unsigned parity_blocks() const { return parity_blocks_; }

    // parity[0..p) from data[0..k), every block `length` bytes.
    void Encode(std::span<const std::uint8_t* const> data, std::span<std::uint8_t* const> parity,
                std::size_t length) const;
    // The same, the blocks' bytes split between the cores (a group's parity
    // beside its chunks' cipher, which uses them all).
    void EncodeOnEveryCore(std::span<const std::uint8_t* const> data,
                           std::span<std::uint8_t* const> parity, std::size_t length) const;

    // The same, a block at a time (while it is still in the processor's
    // cache): adds data block `block`'s share to parity[0..p), which starts
    // as zeros. AddParity adds one such partial parity to another: the
    // parity is the sum of the partial ones, whatever blocks each took.
    void Add(unsigned block, const std::uint8_t* data, std::span<std::uint8_t* const> parity,
             std::size_t length) const;
    void AddParity(std::span<const std::uint8_t* const> from, std::span<std::uint8_t* const> into,
                   std::size_t length) const;

    // blocks[0..k+p): data then parity, all `length` bytes; the blocks whose
    // indexes are in `missing` (sorted, distinct, < k+p) are rewritten from
    // the others. False (nothing written) when more than p are missing or
    // `missing` is not such a list.
    bool Rebuild(std::span<std::uint8_t* const> blocks, std::span<const unsigned> missing,
                 std::size_t length) const;

  private:
    ParityCode(unsigned data_blocks, unsigned parity_blocks);

    unsigned data_blocks_;
    unsigned parity_blocks_;
    std::vector<std::uint8_t> matrix_;         // (k + p) x k: identity, then the coding rows
    std::vector<std::uint8_t> encode_tables_;  // ec_init_tables of the coding rows
    std::vector<std::uint8_t> sum_tables_;     // ec_init_tables of the p x p identity
};

// One core's share of a group's parity: the shares of the blocks it takes,
// summed from zeros as they come (ParityCode::Add), then added to the
// group's parity (p blocks of `length` bytes one after the other, from
// zeros too), under a lock the cores share.
class ParitySum {
  public:
    ParitySum(const ParityCode& code, std::size_t length);

    void Add(unsigned block, const std::uint8_t* data) { code_.Add(block, data, sums_, length_); }
    void AddTo(std::uint8_t* parity) const;

  private:
    const ParityCode& code_;
    std::size_t length_;
    std::vector<std::uint8_t> sum_;
    std::vector<std::uint8_t*> sums_;
};

}  // namespace velmora
