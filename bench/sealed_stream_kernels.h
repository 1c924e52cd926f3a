#pragma once

// The sealed stream's kernels for the benchmarks: sealing a plaintext in
// memory (output discarded, so the figure is the stream's own) and opening
// a sealed plaintext, both at the default message size and the fastest key
// derivation, whose cost is then negligible beside 64 MiB.
#include <cstdint>
#include <vector>

#include "container/buffered_io.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_stream_reader.h"
#include "container/sealed/sealed_stream_writer.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#endif

namespace velmora::bench {

inline constexpr std::size_t kSealedPlaintextBytes = 64u << 20;
inline constexpr SealedParameters kFastKdf{1, 8192, kSealedDefaultChunkSize};

#ifdef _WIN32
using SystemFileSystem = Win32FileSystem;
#else
using SystemFileSystem = PosixFileSystem;
#endif

// Writes land nowhere, or in `kept` when asked.
class DiscardingWrites : public SystemFileSystem {
  public:
    Status Write(int, std::int64_t, const std::uint8_t* data, std::size_t length) override {
        if (keep)
            kept.insert(kept.end(), data, data + length);
        return Status::Ok();
    }
    bool keep = false;
    std::vector<std::uint8_t> kept;
};

// Seals kSealedPlaintextBytes, filled in place (as the pack reads files) or
// copied in from `source` (a plaintext of that size).
inline void Seal(DiscardingWrites& files, const std::vector<std::uint8_t>* source) {
    BufferedWriter out(files, 0, 0);
    SealedStreamWriter writer =
        SealedStreamWriter::Begin(out, "benchmark", kFastKdf, 8, kSealedPlaintextBytes).value();
    if (source != nullptr) {
        (void)writer.Write(source->data(), source->size());
    } else {
        for (std::size_t done = 0; done < kSealedPlaintextBytes;) {
            const std::size_t room = writer.Space().size();
            (void)writer.Commit(room);
            done += room;
        }
    }
    (void)writer.Finish();
    (void)out.Flush();
}

inline std::vector<std::uint8_t> SealedSample() {
    DiscardingWrites files;
    files.keep = true;
    Seal(files, nullptr);
    return files.kept;
}

// Authenticates and hands out the whole plaintext; returns its last byte.
// kRefuse: as a container just written is checked, every group's parity
// recomputed and compared, and the copies at the end compared.
inline std::uint8_t Open(const std::vector<std::uint8_t>& sealed,
                         SealedDamage damage = SealedDamage::kRepair) {
    MemoryByteSource source(sealed);
    const SealedHeader header = ReadSealedHeader(source).value();
    const SealedKeys keys = SealedKeys::Derive("benchmark", header).value();
    SealedStreamReader reader = SealedStreamReader::Open(source, header, keys, damage).value();
    std::uint8_t last = 0;
    for (std::size_t done = 0; done < kSealedPlaintextBytes;) {
        const auto view = reader.ReadView(kSealedPlaintextBytes - done).value();
        last = view.back();
        done += view.size();
    }
    (void)reader.Finish();
    return last;
}

}  // namespace velmora::bench
