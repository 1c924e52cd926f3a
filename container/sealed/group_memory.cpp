#include "container/sealed/group_memory.h"

#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace velmora {

void FreeGroupMemory::operator()(std::uint8_t* memory) const {
    std::free(memory);
}

GroupMemory AllocateGroupMemory(std::size_t size) {
#ifdef __linux__
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    void* memory = nullptr;
    if (size >= kLargePage) {
        const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
        if (posix_memalign(&memory, kLargePage, rounded) != 0)
            throw std::bad_alloc();
        // Only advice: without large pages the memory is the same.
        (void)madvise(memory, rounded, MADV_HUGEPAGE);
        return GroupMemory(static_cast<std::uint8_t*>(memory));
    }
#endif
    void* plain = std::malloc(size);
    if (plain == nullptr)
        throw std::bad_alloc();
    return GroupMemory(static_cast<std::uint8_t*>(plain));
}

}  // namespace velmora
