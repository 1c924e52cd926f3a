// Speed of the data-area coding kernels on one 64 KiB block, beside memcpy
// of the same block (the memory's own speed); the sealed stream's sealing
// and opening, the plaintext hash, and the default key derivation.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/sealed_stream_kernels.h"
#include "cipher/cipher_tables.h"
#include "container/legacy/data_coding.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/plaintext_hash.h"
#include "container/sealed/sealed_keys.h"

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

void SealedSealInPlace(benchmark::State& state) {
    bench::DiscardingWrites files;
    for (auto _ : state)
        bench::Seal(files, nullptr);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * bench::kSealedPlaintextBytes));
}
void SealedSealByCopy(benchmark::State& state) {
    bench::DiscardingWrites files;
    const std::vector<std::uint8_t> plaintext(bench::kSealedPlaintextBytes, 0x5A);
    for (auto _ : state)
        bench::Seal(files, &plaintext);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * bench::kSealedPlaintextBytes));
}
void SealedOpen(benchmark::State& state) {
    const std::vector<std::uint8_t> sealed = bench::SealedSample();
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::Open(sealed));
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * bench::kSealedPlaintextBytes));
}
void SealedOpenChecked(benchmark::State& state) {
    const std::vector<std::uint8_t> sealed = bench::SealedSample();
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::Open(sealed, SealedDamage::kRefuse));
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * bench::kSealedPlaintextBytes));
}
// The same with one chunk of every group zeroed: each is rebuilt from its
// group's parity (the cost of a repair, per group).
void SealedOpenRebuildingOneChunkPerGroup(benchmark::State& state) {
    std::vector<std::uint8_t> sealed = bench::SealedSample();
    MemoryByteSource source(sealed);
    const ChunkLayout layout(ReadSealedHeader(source).value());
    for (std::uint64_t group = 0; group < layout.groups; ++group) {
        const std::uint64_t at = layout.ChunkAt(layout.FirstChunk(group) + 1);
        std::fill_n(sealed.begin() + static_cast<std::ptrdiff_t>(at), layout.slot_size, 0);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::Open(sealed));
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * bench::kSealedPlaintextBytes));
}
void PlaintextHashing(benchmark::State& state) {
    const std::vector<std::uint8_t> plaintext(bench::kSealedPlaintextBytes, 0x5A);
    for (auto _ : state) {
        PlaintextHash hash;
        hash.Update(plaintext.data(), plaintext.size());
        benchmark::DoNotOptimize(hash.Final());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * bench::kSealedPlaintextBytes));
}
// crypto_pwhash at the limits a new container gets (3 passes, 256 MiB).
void SealedKeyDerivationDefault(benchmark::State& state) {
    const std::array<std::uint8_t, kSealedSaltBytes> salt{};
    for (auto _ : state)
        benchmark::DoNotOptimize(SealedKeys::Derive("benchmark", salt, SealedParameters{}).ok());
}

BENCHMARK(EncodeWholeBlock);
BENCHMARK(DecodeWholeBlock);
BENCHMARK(EncodeEveryThird);
BENCHMARK(DecodeEveryThird);
BENCHMARK(Memcpy);
BENCHMARK(SealedSealInPlace)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SealedSealByCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SealedOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SealedOpenChecked)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SealedOpenRebuildingOneChunkPerGroup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlaintextHashing)->Unit(benchmark::kMillisecond);
BENCHMARK(SealedKeyDerivationDefault)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
