// The data-area coding kernels timed with a plain clock, for the Windows
// build under Wine, where Google Benchmark is not at hand: a sanity figure
// beside the Linux kernels' speed, not a goal.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/sealed_stream_kernels.h"
#include "cipher/cipher_tables.h"
#include "container/legacy/data_coding.h"

namespace {

constexpr int kRounds = 20000;  // 1.25 GiB through each kernel

template <typename Kernel>
void Time(const char* name, std::vector<std::uint8_t>& block, Kernel kernel) {
    kernel();  // warm-up
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round)
        kernel();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double bytes = static_cast<double>(kRounds) * velmora::kBlockSize;
    // The block's first byte keeps the work from being optimised away.
    std::printf("%-18s %6.1f GiB/s  (%02X)\n", name, bytes / took.count() / (1 << 30), block[0]);
}

// The sealed stream over kSealedPlaintextBytes, four times.
template <typename Kernel>
void TimeSealed(const char* name, Kernel kernel) {
    constexpr int kPasses = 4;
    kernel();  // warm-up
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < kPasses; ++pass)
        kernel();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double bytes = static_cast<double>(kPasses) * velmora::bench::kSealedPlaintextBytes;
    std::printf("%-18s %6.2f GiB/s\n", name, bytes / took.count() / (1 << 30));
}

}  // namespace

int main() {
    using namespace velmora;
    CipherTables tables(nullptr);
    tables.CrearBuffer();
    const KeyStream stream(tables, DeriveKey("benchmark").value());
    std::vector<std::uint8_t> block(kBlockSize, 0x5A);
    std::vector<std::uint8_t> copy(kBlockSize);
    Time("encode whole", block, [&] { EncodeWhole(block.data(), kBlockSize, stream); });
    Time("decode whole", block, [&] { DecodeWhole(block.data(), kBlockSize, stream); });
    Time("encode 1 in 3", block, [&] { EncodeFullBlock(block.data(), stream); });
    Time("decode 1 in 3", block, [&] { DecodeFullBlock(block.data(), stream); });
    Time("memcpy", copy, [&] { std::memcpy(copy.data(), block.data(), kBlockSize); });
    bench::DiscardingWrites files;
    TimeSealed("sealed: seal", [&] { bench::Seal(files, nullptr); });
    const std::vector<std::uint8_t> sealed = bench::SealedSample();
    TimeSealed("sealed: open", [&] { bench::Open(sealed); });
}
