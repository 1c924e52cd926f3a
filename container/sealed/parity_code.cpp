#include "container/sealed/parity_code.h"

#include <isa-l/erasure_code.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>

#include "base/messages.h"
#include "container/sealed/parallel_chunks.h"

namespace velmora {
namespace {

constexpr unsigned kMaxBlocks = 255;

// ec_encode_data over `length` bytes of each block, in pieces an int can
// count. ISA-L takes its block lists as non-const pointers; it only reads
// the inputs.
void EncodeRows(std::size_t length, unsigned inputs, unsigned outputs, unsigned char* tables,
                const std::uint8_t* const* in, std::uint8_t* const* out) {
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    std::array<unsigned char*, kMaxBlocks> in_at;
    std::array<unsigned char*, kMaxBlocks> out_at;
    for (std::size_t done = 0, piece = 0; done < length; done += piece) {
        piece = std::min(kPiece, length - done);
        for (unsigned i = 0; i < inputs; ++i)
            in_at[i] = const_cast<unsigned char*>(in[i]) + done;
        for (unsigned i = 0; i < outputs; ++i)
            out_at[i] = out[i] + done;
        ec_encode_data(static_cast<int>(piece), static_cast<int>(inputs), static_cast<int>(outputs),
                       tables, in_at.data(), out_at.data());
    }
}

}  // namespace

ParityCode::ParityCode(unsigned data_blocks, unsigned parity_blocks)
    : data_blocks_(data_blocks),
      parity_blocks_(parity_blocks),
      matrix_((data_blocks + parity_blocks) * data_blocks),
      encode_tables_(32 * data_blocks * parity_blocks),
      sum_tables_(32 * parity_blocks * parity_blocks) {
    const int k = static_cast<int>(data_blocks);
    const int p = static_cast<int>(parity_blocks);
    gf_gen_cauchy1_matrix(matrix_.data(), k + p, k);
    ec_init_tables(k, p, matrix_.data() + k * k, encode_tables_.data());
    std::vector<std::uint8_t> identity(parity_blocks * parity_blocks, 0);
    for (unsigned r = 0; r < parity_blocks; ++r)
        identity[r * parity_blocks + r] = 1;
    ec_init_tables(p, p, identity.data(), sum_tables_.data());
}

Result<ParityCode> ParityCode::Make(unsigned data_blocks, unsigned parity_blocks) {
    if (data_blocks < 1 || parity_blocks < 1 || data_blocks > kMaxBlocks - parity_blocks)
        return Error{Text(Msg::kSealedParametersOutOfRange)};
    return ParityCode(data_blocks, parity_blocks);
}

void ParityCode::Encode(std::span<const std::uint8_t* const> data,
                        std::span<std::uint8_t* const> parity, std::size_t length) const {
    assert(data.size() == data_blocks_ && parity.size() == parity_blocks_);
    EncodeRows(length, data_blocks_, parity_blocks_,
               const_cast<unsigned char*>(encode_tables_.data()), data.data(), parity.data());
}

void ParityCode::EncodeOnEveryCore(std::span<const std::uint8_t* const> data,
                                   std::span<std::uint8_t* const> parity,
                                   std::size_t length) const {
    assert(data.size() == data_blocks_ && parity.size() == parity_blocks_);
    // Every byte's parity depends on that byte of each block alone: the
    // blocks are cut across into runs of whole 64-byte lines.
    constexpr std::size_t kLine = 64;
    ForEachCoreRun((length + kLine - 1) / kLine, [&](std::size_t begin, std::size_t end) {
        const std::size_t from = begin * kLine;
        const std::size_t to = std::min(end * kLine, length);
        std::array<const std::uint8_t*, kMaxBlocks> in;
        std::array<std::uint8_t*, kMaxBlocks> out;
        for (unsigned i = 0; i < data_blocks_; ++i)
            in[i] = data[i] + from;
        for (unsigned i = 0; i < parity_blocks_; ++i)
            out[i] = parity[i] + from;
        EncodeRows(to - from, data_blocks_, parity_blocks_,
                   const_cast<unsigned char*>(encode_tables_.data()), in.data(), out.data());
    });
}

void ParityCode::Add(unsigned block, const std::uint8_t* data,
                     std::span<std::uint8_t* const> parity, std::size_t length) const {
    assert(block < data_blocks_ && parity.size() == parity_blocks_ && length <= INT_MAX);
    ec_encode_data_update(static_cast<int>(length), static_cast<int>(data_blocks_),
                          static_cast<int>(parity_blocks_), static_cast<int>(block),
                          const_cast<unsigned char*>(encode_tables_.data()),
                          const_cast<unsigned char*>(data), const_cast<unsigned char**>(parity.data()));
}

void ParityCode::AddParity(std::span<const std::uint8_t* const> from,
                           std::span<std::uint8_t* const> into, std::size_t length) const {
    assert(from.size() == parity_blocks_ && into.size() == parity_blocks_ && length <= INT_MAX);
    // Row r of the identity adds from[r] to into[r] alone.
    for (unsigned r = 0; r < parity_blocks_; ++r)
        ec_encode_data_update(static_cast<int>(length), static_cast<int>(parity_blocks_),
                              static_cast<int>(parity_blocks_), static_cast<int>(r),
                              const_cast<unsigned char*>(sum_tables_.data()),
                              const_cast<unsigned char*>(from[r]),
                              const_cast<unsigned char**>(into.data()));
}

ParitySum::ParitySum(const ParityCode& code, std::size_t length)
    : code_(code), length_(length), sum_(code.parity_blocks() * length, 0) {
    for (unsigned r = 0; r < code.parity_blocks(); ++r)
        sums_.push_back(sum_.data() + r * length);
}

void ParitySum::AddTo(std::uint8_t* parity) const {
    std::vector<const std::uint8_t*> from(sums_.begin(), sums_.end());
    std::vector<std::uint8_t*> into;
    for (unsigned r = 0; r < code_.parity_blocks(); ++r)
        into.push_back(parity + r * length_);
    code_.AddParity(from, into, length_);
}

bool ParityCode::Rebuild(std::span<std::uint8_t* const> blocks, std::span<const unsigned> missing,
                         std::size_t length) const {
    const unsigned k = data_blocks_;
    const unsigned all = k + parity_blocks_;
    assert(blocks.size() == all);
    if (missing.size() > parity_blocks_ || blocks.size() != all)
        return false;
    for (std::size_t i = 0; i < missing.size(); ++i)
        if (missing[i] >= all || (i > 0 && missing[i] <= missing[i - 1]))
            return false;
    if (missing.empty())
        return true;

    // The first k blocks present, and their rows of the matrix: inverted,
    // they give the data from those blocks.
    std::array<const std::uint8_t*, kMaxBlocks> present;
    std::vector<std::uint8_t> rows(k * k);
    std::size_t next_missing = 0;
    for (unsigned block = 0, found = 0; found < k; ++block) {
        if (next_missing < missing.size() && missing[next_missing] == block) {
            ++next_missing;
            continue;
        }
        present[found] = blocks[block];
        std::copy_n(matrix_.begin() + block * k, k, rows.begin() + found * k);
        ++found;
    }
    std::vector<std::uint8_t> inverse(k * k);
    if (gf_invert_matrix(rows.data(), inverse.data(), static_cast<int>(k)) != 0)
        return false;  // never for a Cauchy matrix: any k of its rows are independent

    // Each missing block's row in terms of the present blocks: a data
    // block's is its row of the inverse; a parity block's is its coding row
    // times the inverse (its coding row over the data, the data being the
    // inverse over the present blocks). One pass of ISA-L writes them all.
    std::vector<std::uint8_t> decode(missing.size() * k);
    std::array<std::uint8_t*, kMaxBlocks> out;
    for (std::size_t m = 0; m < missing.size(); ++m) {
        const unsigned block = missing[m];
        std::uint8_t* row = decode.data() + m * k;
        if (block < k) {
            std::copy_n(inverse.begin() + block * k, k, row);
        } else {
            const std::uint8_t* coding = matrix_.data() + block * k;
            for (unsigned j = 0; j < k; ++j) {
                std::uint8_t sum = 0;
                for (unsigned i = 0; i < k; ++i)
                    sum ^= gf_mul(coding[i], inverse[i * k + j]);
                row[j] = sum;
            }
        }
        out[m] = blocks[block];
    }
    std::vector<std::uint8_t> tables(32 * k * missing.size());
    ec_init_tables(static_cast<int>(k), static_cast<int>(missing.size()), decode.data(),
                   tables.data());
    EncodeRows(length, k, static_cast<unsigned>(missing.size()), tables.data(), present.data(),
               out.data());
    return true;
}

}  // namespace velmora
