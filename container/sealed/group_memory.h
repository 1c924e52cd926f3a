#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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

}  // namespace velmora
