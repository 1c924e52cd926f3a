#include "container/sealed/parity_code.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "tests/parity_blocks.h"

namespace velmora {
namespace {

// Calls `each` with every sorted list of at most `most` indexes below `all`.
void EveryList(unsigned all, unsigned most, std::vector<unsigned>& list,
               const std::function<void()>& each) {
    each();
    for (unsigned i = list.empty() ? 0 : list.back() + 1; list.size() < most && i < all; ++i) {
        list.push_back(i);
        EveryList(all, most, list, each);
        list.pop_back();
    }
}

// GF(2^8) with the polynomial 0x11D, bit by bit, and its inverse by search.
unsigned Multiply(unsigned a, unsigned b) {
    unsigned product = 0;
    for (; b != 0; b >>= 1, a = (a << 1) ^ ((a & 0x80) ? 0x11D : 0))
        product ^= (b & 1) ? a : 0;
    return product;
}
unsigned Inverse(unsigned a) {
    unsigned b = 1;
    while (Multiply(a, b) != 1)
        ++b;
    return b;
}

// Parity byte r is the sum over j of inv((k + r) XOR j) * data_j, also
// when computed on every core or summed block by block by two ParitySums
// taking alternate blocks; every
// list of up to p missing blocks (overwritten first) is rebuilt exactly, and
// p + 1 are refused with nothing written. Odd lengths reach ISA-L's tail
// paths. Lists out of order or range: the fuzzer.
TEST(ParityCodeTest, ParityIsTheCauchyRowsAndUpToPMissingBlocksAreRebuilt) {
    struct Geometry {
        unsigned k, p, length;
    };
    for (const auto& [k, p, length] :
         {Geometry{4, 2, 4099}, {64, 2, 100}, {3, 3, 1}, {1, 1, 33}, {10, 4, 64}}) {
        const ParityCode code = ParityCode::Make(k, p).value();
        Blocks original(k + p, std::vector<std::uint8_t>(length));  // random data, its parity
        std::mt19937 random(k);
        for (std::size_t i = 0; i < k * length; ++i)
            original[i / length][i % length] = static_cast<std::uint8_t>(random());
        const std::vector<std::uint8_t*> all = Pointers(original);
        code.Encode({all.data(), k}, {all.data() + k, p}, length);
        for (unsigned r = 0; r < p; ++r)
            for (std::size_t byte = 0; byte < length; ++byte) {
                unsigned sum = 0;
                for (unsigned j = 0; j < k; ++j)
                    sum ^= Multiply(Inverse((k + r) ^ j), original[j][byte]);
                ASSERT_EQ(original[k + r][byte], sum) << k << "+" << p << " parity " << r;
            }
        Blocks split(p, std::vector<std::uint8_t>(length, 0xA5));
        code.EncodeOnEveryCore({all.data(), k}, Pointers(split), length);
        std::vector<std::uint8_t> summed(p * length, 0);
        ParitySum even(code, length), odd(code, length);
        for (unsigned j = 0; j < k; ++j)
            (j % 2 == 0 ? even : odd).Add(j, original[j].data());
        even.AddTo(summed.data());
        odd.AddTo(summed.data());
        for (unsigned r = 0; r < p; ++r) {
            EXPECT_EQ(split[r], original[k + r]) << k << "+" << p << " on every core";
            EXPECT_TRUE(std::equal(original[k + r].begin(), original[k + r].end(),
                                   summed.begin() + r * length))
                << k << "+" << p << " summed";
        }
        std::vector<unsigned> missing;
        const auto lose_and_rebuild = [&](Blocks& blocks) {
            for (const unsigned index : missing)
                std::fill(blocks[index].begin(), blocks[index].end(), 0xA5);
            return code.Rebuild(Pointers(blocks), missing, length);
        };
        EveryList(k + p, p, missing, [&] {
            Blocks blocks = original;
            ASSERT_TRUE(lose_and_rebuild(blocks));
            ASSERT_EQ(blocks, original) << k << "+" << p << " lost " << missing.size();
        });
        for (unsigned i = 0; i <= p; ++i)
            missing.push_back(k - 1 + i);
        Blocks blocks = original;
        EXPECT_FALSE(lose_and_rebuild(blocks));
        for (unsigned i = 0; i < k + p; ++i)
            EXPECT_EQ(blocks[i], i < k - 1 ? original[i] : std::vector<std::uint8_t>(length, 0xA5));
    }
}

TEST(ParityCodeTest, GeometriesOutsideTheBoundsAreRefused) {
    for (const auto& [k, p] : {std::pair{0u, 1u}, {1u, 0u}, {255u, 1u}, {200u, 56u}})
        EXPECT_FALSE(ParityCode::Make(k, p).ok()) << k << "+" << p;
    EXPECT_TRUE(ParityCode::Make(254, 1).ok() && ParityCode::Make(1, 254).ok());
}

}  // namespace
}  // namespace velmora
