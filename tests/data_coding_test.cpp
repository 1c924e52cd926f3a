#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "container/legacy/data_coding.h"

namespace velmora {
namespace {

// The data-area rule written out the slow, literal way: per byte, through
// KeyIndexTable and DimeBuffer. The fast kernels must match it exactly.
std::vector<std::uint8_t> ReferenceEncode(const CipherTables& tables, const std::string& key,
                                          std::vector<std::uint8_t> data) {
    auto code = [&](std::size_t offset, std::size_t j) {
        const int shift = static_cast<unsigned char>(key[tables.KeyIndexTable(int(j)) - 1]);
        data[offset] = static_cast<std::uint8_t>(
            tables.DimeBuffer(static_cast<std::int16_t>(data[offset] + shift)));
    };
    const std::size_t size = data.size();
    if (size <= 65536) {
        for (std::size_t j = 1; j <= size; ++j)
            code(j - 1, j);
        return data;
    }
    const std::size_t blocks = size / 65536;
    for (std::size_t b = 0; b < blocks; ++b)
        for (std::size_t j = 1; j <= 65536; j += 3)
            code(b * 65536 + j - 1, j);
    for (std::size_t j = 1; j <= size - blocks * 65536; ++j)
        code(blocks * 65536 + j - 1, j);
    return data;
}

// What the encoder and the extraction do: the full blocks one by one, then
// the tail.
void CodePiecewise(std::vector<std::uint8_t>& data, const KeyStream& stream, bool encode) {
    const CodingPlan plan = PlanFor(static_cast<std::int64_t>(data.size()));
    std::uint8_t* at = data.data();
    for (std::int64_t b = 0; b < plan.full_blocks; ++b, at += 65536)
        encode ? EncodeFullBlock(at, stream) : DecodeFullBlock(at, stream);
    encode ? EncodeWhole(at, plan.tail, stream) : DecodeWhole(at, plan.tail, stream);
}

TEST(DataCodingTest, FastKernelsMatchTheLiteralRuleAroundEveryBoundary) {
    CipherTables tables(nullptr);
    tables.CrearBuffer();
    const std::string key = DeriveKey("Contrase\361a").value();  // octal 361: n tilde
    const KeyStream stream(tables, key);
    std::mt19937 random{1234};
    std::vector<std::size_t> sizes;
    for (std::size_t s = 0; s <= 100; ++s)
        sizes.push_back(s);
    for (std::size_t boundary : {65536u, 131072u, 196608u})
        for (std::size_t s = boundary - 40; s <= boundary + 40; ++s)
            sizes.push_back(s);
    for (int i = 0; i < 20; ++i)
        sizes.push_back(random() % 200001);

    for (const std::size_t size : sizes) {
        std::vector<std::uint8_t> original(size);
        for (auto& b : original)
            b = static_cast<std::uint8_t>(random());
        const std::vector<std::uint8_t> expected = ReferenceEncode(tables, key, original);
        std::vector<std::uint8_t> fast = original;
        EncodeFileData(fast.data(), size, stream);
        ASSERT_EQ(fast, expected) << "size " << size;
        DecodeFileData(fast.data(), size, stream);
        ASSERT_EQ(fast, original) << "size " << size;
        CodePiecewise(fast, stream, true);
        ASSERT_EQ(fast, expected) << "piecewise, size " << size;
        CodePiecewise(fast, stream, false);
        ASSERT_EQ(fast, original) << "piecewise, size " << size;
    }
}

}  // namespace
}  // namespace velmora
