#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// What a full check of a version 2 container found, part by part.
struct ChunkCheck {
    std::uint64_t chunks_rebuilt = 0;        // data chunks that did not open as read
    std::uint64_t parity_damaged = 0;        // parity slots unlike the parity computed again
    std::uint64_t index_copies_damaged = 0;  // slots of the index's copy unlike the first
    std::uint64_t headers_damaged = 0;       // of the two copies of the header
    bool size_wrong = false;                 // the file is not as long as the header says
    std::uint64_t size = 0;                  // the file's size
    std::uint64_t expected_size = 0;         // ChunkLayout::ContainerSize()
    std::vector<std::uint64_t> lost;         // chunks nothing rebuilds, in order
    // The index as read, when no chunk of it is lost: its entries (the
    // folder itself included) and, for each file touching a lost chunk, its
    // path.
    bool index_read = false;
    std::string index_refused;  // why it was not, when no chunk was lost
    std::uint64_t entries = 0;
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::vector<std::string> lost_files;

    bool beyond_repair() const { return !lost.empty(); }
    bool sound() const {
        return !beyond_repair() && index_read && chunks_rebuilt == 0 && parity_damaged == 0 &&
               index_copies_damaged == 0 && headers_damaged == 0 && !size_wrong;
    }
};

// Reads every group of a version 2 container (ReadGroup: damaged chunks
// rebuilt where the parity allows), computes each group's parity again from
// its data and compares it with the stored parity, compares the index's
// copy and the header's copy with the first ones byte for byte and the
// file's size with the layout's; then reads the index, where none of its
// chunks is lost, and names the files that lost chunks touch. `pump` runs
// between groups (interrupts). Fails only when a read of the source fails.
Result<ChunkCheck> CheckChunks(ByteSource& source, const SealedHeader& header,
                               const SealedKeys& keys, const std::function<void()>& pump);

}  // namespace velmora
