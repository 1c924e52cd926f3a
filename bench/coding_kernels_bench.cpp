// Speed of the data-area coding kernels on one 64 KiB block, beside memcpy
// of the same block (the memory's own speed).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "container/legacy/data_coding.h"

namespace velmora {
namespace {

struct Fixture {
    Fixture() : tables(nullptr) {
        tables.CrearBuffer();
        stream = std::make_unique<KeyStream>(tables, DeriveKey("benchmark").value());
    }
    CipherTables tables;
    std::unique_ptr<KeyStream> stream;
    std::vector<std::uint8_t> block = std::vector<std::uint8_t>(kBlockSize, 0x5A);
    std::vector<std::uint8_t> copy = std::vector<std::uint8_t>(kBlockSize);
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

template <typename Kernel>
void Run(benchmark::State& state, Kernel kernel) {
    Fixture& f = Shared();
    for (auto _ : state) {
        kernel(f);
        benchmark::DoNotOptimize(f.block.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBlockSize);
}

void EncodeWholeBlock(benchmark::State& state) {
    Run(state, [](Fixture& f) { EncodeWhole(f.block.data(), kBlockSize, *f.stream); });
}
void DecodeWholeBlock(benchmark::State& state) {
    Run(state, [](Fixture& f) { DecodeWhole(f.block.data(), kBlockSize, *f.stream); });
}
void EncodeEveryThird(benchmark::State& state) {
    Run(state, [](Fixture& f) { EncodeFullBlock(f.block.data(), *f.stream); });
}
void DecodeEveryThird(benchmark::State& state) {
    Run(state, [](Fixture& f) { DecodeFullBlock(f.block.data(), *f.stream); });
}
void Memcpy(benchmark::State& state) {
    Run(state, [](Fixture& f) { std::memcpy(f.copy.data(), f.block.data(), kBlockSize); });
}

BENCHMARK(EncodeWholeBlock);
BENCHMARK(DecodeWholeBlock);
BENCHMARK(EncodeEveryThird);
BENCHMARK(DecodeEveryThird);
BENCHMARK(Memcpy);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
