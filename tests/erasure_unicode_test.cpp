// ISA-L's Reed-Solomon codes and utf8proc's NFC give the same bytes on both
// systems: the answers below were computed on Linux with Debian's libisal2
// and libutf8proc2, and the Windows build (built from Debian's sources) must
// reproduce them under Wine.
#include <isa-l/erasure_code.h>
#include <utf8proc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kData = 4;
constexpr int kParity = 2;
// The two parity blocks of gf_gen_cauchy1_matrix(6, 4) over the data below.
const char* const kParityHex[kParity] = {
    "ebe1fa5640b3de48bf142ec877a80ea0d2d816f371fe90c8e908683c83a966ce5296536e5b0aa9f1"
    "05ad5971cd21a2296b62af84c84429bf40307385f410dc77252fd9551c7d104b",
    "f0ce373478cf9664cf3be7aabcd84626043ae55c264fd8296aea039385bee3b349743c98e4762cdd"
    "b8825d13cbaa7ebcbd4d5ce69f38619361469f2a3f07940af3cd80fa7dcc95aa"};

using Blocks = std::vector<std::vector<uint8_t>>;

// Codes `sources` into `outputs` with `rows` (one row of kData per output).
void Code(uint8_t* rows, const Blocks& sources, Blocks& outputs) {
    const int count = static_cast<int>(outputs.size());
    std::vector<uint8_t> tables(32 * kData * count);
    ec_init_tables(kData, count, rows, tables.data());
    std::vector<uint8_t*> in, out;
    for (const auto& block : sources)
        in.push_back(const_cast<uint8_t*>(block.data()));
    for (auto& block : outputs)
        out.push_back(block.data());
    ec_encode_data(static_cast<int>(outputs[0].size()), kData, count, tables.data(), in.data(),
                   out.data());
}

TEST(ErasureCode, ParityMatchesLinuxAndRestoresLostBlocks) {
    uint8_t matrix[(kData + kParity) * kData];
    gf_gen_cauchy1_matrix(matrix, kData + kParity, kData);
    // 24 bytes take the plain C path; 72, beyond one AVX-512 vector, the
    // vector loops and their tail.
    for (int length : {24, 72}) {
        SCOPED_TRACE(length);
        Blocks data(kData, std::vector<uint8_t>(length));
        for (int i = 0; i < kData; ++i)
            for (int j = 0; j < length; ++j)
                data[i][j] = static_cast<uint8_t>(i * 67 + j * 29 + 5);
        Blocks parity(kParity, std::vector<uint8_t>(length));
        Code(matrix + kData * kData, data, parity);
        for (int p = 0; p < kParity; ++p) {
            std::string hex;
            for (uint8_t byte : parity[p])
                hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
            EXPECT_EQ(hex, std::string(kParityHex[p], 2 * length));
        }

        // Data blocks 1 and 3 lost: the inverse of the rows of the blocks
        // left (data 0 and 2, both parity blocks) gives all four back.
        uint8_t left[kData * kData], inverse[kData * kData];
        const int left_rows[kData] = {0, 2, 4, 5};
        for (int r = 0; r < kData; ++r)
            std::copy_n(matrix + left_rows[r] * kData, kData, left + r * kData);
        ASSERT_EQ(gf_invert_matrix(left, inverse, kData), 0);
        Blocks restored(kData, std::vector<uint8_t>(length));
        Code(inverse, {data[0], data[2], parity[0], parity[1]}, restored);
        EXPECT_EQ(restored, data);
    }
}

TEST(Unicode, NfcAsOnLinux) {
    const struct {
        const char* text;
        const char* nfc;  // nullptr: refused
    } cases[] = {
        {"e\u0301", "\u00e9"},                   // base + combining accent composed
        {"contrase\u00f1a", "contrase\u00f1a"},  // already composed: unchanged
        {"\u212b", "\u00c5"},                    // singleton (Angstrom sign) replaced
        {"\u1e0b\u0323", "\u1e0d\u0307"},        // marks reordered, then composed
        {"\u1100\u1161\u11a8", "\uac01"},        // Hangul jamo composed
        {"\xff", nullptr},                       // not UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        utf8proc_uint8_t* out = nullptr;
        const utf8proc_ssize_t size = utf8proc_map(
            reinterpret_cast<const utf8proc_uint8_t*>(c.text), 0, &out,
            static_cast<utf8proc_option_t>(UTF8PROC_NULLTERM | UTF8PROC_STABLE | UTF8PROC_COMPOSE));
        if (c.nfc == nullptr) {
            EXPECT_EQ(size, UTF8PROC_ERROR_INVALIDUTF8);
        } else {
            ASSERT_GE(size, 0) << utf8proc_errmsg(size);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(out), size), c.nfc);
        }
        std::free(out);
    }
}

}  // namespace
