#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/chunk_cipher.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/core_team.h"

namespace velmora {

// Room for a stream's groups, several MiB each and made afresh for every
// container written or opened. On Linux it is asked for in the system's
// large pages (2 MiB) where they are offered, so that touching it the first
// time costs one page fault per 2 MiB rather than one per 4 KiB (for a
// stream of 64 MiB, those faults took a fifth to a half of the time).
struct FreeGroupMemory {
    void operator()(std::uint8_t* memory) const;
};
using GroupMemory = std::unique_ptr<std::uint8_t[], FreeGroupMemory>;

// Uninitialised; throws std::bad_alloc as new[] does.
GroupMemory AllocateGroupMemory(std::size_t size);

// Room for one group of a version 2 container: its data and parity slots as
// read (and, where rebuilt, as rebuilt), and its chunks' plaintext.
struct GroupBuffers {
    explicit GroupBuffers(const ChunkLayout& layout);
    GroupMemory slots;      // K data slots, then P parity slots
    GroupMemory plaintext;  // K chunks
};

// What reading one group found.
struct GroupOutcome {
    std::uint64_t group = 0;
    std::vector<std::uint64_t> damaged;  // chunks that did not open as read
    std::vector<std::uint64_t> lost;     // of those, the ones nothing rebuilt
    std::uint64_t rebuilt = 0;           // damaged chunks made whole again
    bool parity_differs = false;         // checked only when asked
    Status read = Status::Ok();          // a read of the source that failed
};

// Reads group `group` into `buffers` and opens every chunk of it, on every
// core (the caller's and `team`'s). A chunk that does not open (changed,
// missing past the source's end, its slot's padding not zero) is taken from
// the index's copy where it has one, else rebuilt from the group's parity:
// any parity_blocks of the group's slots may be damaged. A rebuilt chunk counts only once it opens.
// On return every chunk not in `lost` holds its authentic plaintext, and
// the data slots hold exactly what was written (but lost chunks').
// With `check_parity`, the group's parity slots are read and compared with
// the parity of its (whole) data slots too, and when no chunk was damaged
// the buffers' parity slots hold that parity, as computed.
GroupOutcome ReadGroup(ByteSource& source, const ChunkLayout& layout, const ChunkCipher& cipher,
                       std::uint64_t group, GroupBuffers& buffers, CoreTeam& team,
                       bool check_parity = false);

// Whether the copies at the end (the index's slots, the header) are the
// bytes of the first ones: `index_slots` the first index_chunks slots as
// they were read (rebuilt where needed), `header` the header's bytes.
Result<bool> CopiesAgree(ByteSource& source, const ChunkLayout& layout,
                         const std::uint8_t* index_slots, const SealedHeaderBytes& header);

// Reads `count` slots from `at` into `out`: what lies past the source's end
// is zeros, and `whole` says how many slots were read whole.
Status ReadSlots(ByteSource& source, const ChunkLayout& layout, std::uint64_t at, std::size_t count,
                 std::uint8_t* out, std::size_t& whole);

}  // namespace velmora
