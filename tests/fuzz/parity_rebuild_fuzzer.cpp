// libFuzzer target for the parity code. The input chooses the geometry (k
// data blocks, p parity blocks), the block length, a list of missing blocks
// and the data's bytes; the blocks are encoded, the missing ones
// overwritten, and Rebuild must accept exactly the lists it promises to
// (sorted, distinct, in range, at most p) and then give back every block as
// encoded, or refuse and write nothing.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "container/sealed/parity_code.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/parity_blocks.h"

using velmora::Blocks;
using velmora::Broken;
using velmora::Pointers;

// Input: k, p, two bytes of length, the list's size (its top bit: the list
// taken as given, not sorted and made distinct), its indexes, then the bytes
// the data blocks repeat. Wider geometries and longer blocks cost time
// (inverting is cubic in k) and reach no other path of ISA-L's.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 5)
        return 0;
    const unsigned k = 1u + input[0] % 64, p = 1u + input[1] % 32;
    const std::size_t length = (input[2] | input[3] << 8) % 1025;
    const std::size_t listed = std::min<std::size_t>(input[4] & 0x7F, size - 5);
    std::vector<unsigned> missing;
    for (std::size_t i = 0; i < listed; ++i)
        missing.push_back(input[5 + i] % (k + p + 1));  // one past the end now and then
    if ((input[4] & 0x80) == 0) {
        std::sort(missing.begin(), missing.end());
        missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
        std::erase(missing, k + p);
    }
    const std::span<const std::uint8_t> fill(input + 5 + listed, size - 5 - listed);

    const velmora::ParityCode code = velmora::ParityCode::Make(k, p).value();
    Blocks encoded(k + p, std::vector<std::uint8_t>(length));
    for (std::size_t i = 0; !fill.empty() && i < k * length; ++i)
        encoded[i / length][i % length] = fill[i % fill.size()] ^ static_cast<std::uint8_t>(i);
    const std::vector<std::uint8_t*> all = Pointers(encoded);
    code.Encode({all.data(), k}, {all.data() + k, p}, length);

    Blocks blocks = encoded;
    bool promised = missing.size() <= p;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        promised &= missing[i] < k + p && (i == 0 || missing[i] > missing[i - 1]);
        if (missing[i] < k + p)
            std::fill(blocks[missing[i]].begin(), blocks[missing[i]].end(), 0x5A);
    }
    const Blocks damaged = blocks;
    const bool rebuilt = code.Rebuild(Pointers(blocks), missing, length);
    if (rebuilt != promised)
        Broken(promised ? "a list within the promise refused" : "a list outside it accepted");
    if (blocks != (rebuilt ? encoded : damaged))
        Broken(rebuilt ? "a block rebuilt otherwise than encoded" : "a refusal wrote blocks");
    return 0;
}
