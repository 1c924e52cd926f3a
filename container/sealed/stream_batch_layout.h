#pragma once

#include <cstddef>

#include "container/sealed/sealed_format.h"

namespace velmora {

// How the stream's messages are grouped into batches for the cipher's
// thread: about 256 KiB of plaintext each, so handing one over costs little
// beside sealing it (about 0.2 ms) while the batches' memory, touched for
// the first time by every new stream, stays small (with 1 MiB batches, a
// stream of 64 MiB sealed at 0.82 GiB/s instead of 1.11, the difference
// mostly page faults). Four of them in turn, two when a message alone is
// larger, to bound the memory a container's chunk size can ask for.
struct StreamBatchLayout {
    explicit StreamBatchLayout(std::size_t chunk)
        : chunk_size(chunk),
          messages(chunk >= kAboutOneBatch ? 1 : kAboutOneBatch / chunk),
          plaintext_bytes(messages * chunk),
          sealed_bytes(messages * (chunk + kSealedMessageOverhead)),
          ring_size(chunk > kAboutOneBatch ? 2 : 4) {}

    static constexpr std::size_t kAboutOneBatch = std::size_t{1} << 18;

    std::size_t chunk_size;
    std::size_t messages;         // per batch
    std::size_t plaintext_bytes;  // of a full batch
    std::size_t sealed_bytes;     // of a full batch
    std::size_t ring_size;        // batches in turn
};

}  // namespace velmora
