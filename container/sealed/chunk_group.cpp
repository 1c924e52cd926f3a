#include "container/sealed/chunk_group.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "container/sealed/core_team.h"
#include "container/sealed/parity_code.h"
#include "container/sealed/slot_pieces.h"

namespace velmora {
namespace {

// Opens chunk `n` from its slot; a slot's bytes after the sealed chunk must
// be zeros, so that a slot has one form.
bool OpenSlot(const ChunkLayout& layout, const ChunkCipher& cipher, std::uint64_t n,
              const std::uint8_t* slot, std::uint8_t* plaintext) {
    const std::size_t length = layout.ChunkLength(n);
    const std::uint8_t* padding = slot + length + kSealedChunkOverhead;
    const std::uint8_t* end = slot + layout.slot_size;
    return std::all_of(padding, end, [](std::uint8_t b) { return b == 0; }) &&
           cipher.Open(n, slot, length, plaintext);
}

// The subsets of `size` of {0..n-1}, in order, as bit masks.
std::vector<unsigned> Subsets(unsigned n, unsigned size) {
    std::vector<unsigned> subsets;
    for (unsigned mask = 0; mask < (1u << n); ++mask) {
        if (static_cast<unsigned>(__builtin_popcount(mask)) == size)
            subsets.push_back(mask);
    }
    return subsets;
}

}  // namespace

GroupBuffers::GroupBuffers(const ChunkLayout& layout)
    : slots(AllocateGroupMemory((layout.group_data + layout.group_parity) * layout.slot_size)),
      plaintext(AllocateGroupMemory(layout.group_data * layout.chunk_size)) {}

Status ReadSlots(ByteSource& source, const ChunkLayout& layout, std::uint64_t at, std::size_t count,
                 std::uint8_t* out, std::size_t& whole) {
    const std::uint64_t size = static_cast<std::uint64_t>(std::max<std::int64_t>(source.Size(), 0));
    const std::uint64_t wanted = count * layout.slot_size;
    const std::uint64_t present = at >= size ? 0 : std::min(wanted, size - at);
    std::memset(out + present, 0, wanted - present);
    whole = present / layout.slot_size;
    if (present == 0)  // `at` may lie past the end, where a source reads nothing
        return Status::Ok();
    return source.ReadAt(static_cast<std::int64_t>(at), out, present);
}

namespace {

// The stored parity slots against the parity of the data slots, which is
// left in the group's parity slots (computed there already if `summed`).
Result<bool> ParityAgrees(ByteSource& source, const ChunkLayout& layout, std::uint64_t group,
                          std::uint8_t* slots, std::size_t count, bool summed) {
    const std::size_t slot = layout.slot_size;
    const std::size_t parity = layout.group_parity;
    std::vector<std::uint8_t> stored(parity * slot);
    std::uint8_t* computed = slots + layout.group_data * slot;
    for (std::size_t r = 0; r < parity; ++r) {
        std::size_t whole = 0;
        if (Status read = ReadSlots(source, layout, layout.ParityAt(group, r), 1,
                                    stored.data() + r * slot, whole);
            !read)
            return read.error();
    }
    if (summed)
        return std::equal(stored.begin(), stored.end(), computed);
    std::vector<const std::uint8_t*> data(count);
    std::vector<std::uint8_t*> out(parity);
    for (std::size_t j = 0; j < count; ++j)
        data[j] = slots + j * slot;
    for (std::size_t r = 0; r < parity; ++r)
        out[r] = computed + r * slot;
    const Result<ParityCode> code =
        ParityCode::Make(static_cast<unsigned>(count), static_cast<unsigned>(parity));
    if (!code)
        return code.error();
    code->EncodeOnEveryCore(data, out, slot);
    return std::equal(stored.begin(), stored.end(), computed);
}

}  // namespace

Result<bool> CopiesAgree(ByteSource& source, const ChunkLayout& layout,
                         const std::uint8_t* index_slots, const SealedHeaderBytes& header) {
    const std::size_t length = layout.index_chunks * layout.slot_size;
    std::vector<std::uint8_t> copy(length);
    std::size_t whole = 0;
    if (Status read = ReadSlots(source, layout, layout.IndexCopyAt(0), layout.index_chunks,
                                copy.data(), whole);
        !read)
        return read.error();
    if (whole != layout.index_chunks || !std::equal(copy.begin(), copy.end(), index_slots))
        return false;
    const std::uint64_t size = static_cast<std::uint64_t>(source.Size());
    if (size != layout.ContainerSize())
        return false;
    std::vector<std::uint8_t> header_copy(header.size());
    if (Status read = source.ReadAt(static_cast<std::int64_t>(layout.HeaderCopyAt()),
                                    header_copy.data(), header_copy.size());
        !read)
        return read.error();
    return header_copy == header;
}

GroupOutcome ReadGroup(ByteSource& source, const ChunkLayout& layout, const ChunkCipher& cipher,
                       std::uint64_t group, GroupBuffers& buffers, CoreTeam& team,
                       bool check_parity) {
    GroupOutcome outcome;
    outcome.group = group;
    const std::uint64_t first = layout.FirstChunk(group);
    const std::size_t count = layout.ChunksIn(group);
    const std::size_t slot = layout.slot_size;
    std::uint8_t* slots = buffers.slots.get();
    auto plaintext = [&](std::size_t j) { return buffers.plaintext.get() + j * layout.chunk_size; };
    // The data slots of a group are contiguous; one core reads them while
    // the others open those read.
    SlotPieces pieces(source, layout, layout.ChunkAt(first), count, slots);
    // To check the parity, each core adds its slots' shares of it while they
    // are in the cache (as the writer does), into a sum of its own, then
    // into the group's parity slots.
    const std::size_t parities = layout.group_parity;
    const Result<ParityCode> summing =
        check_parity
            ? ParityCode::Make(static_cast<unsigned>(count), static_cast<unsigned>(parities))
            : Result<ParityCode>(Error{""});
    const bool sum = check_parity && summing.ok();
    if (sum)
        std::memset(slots + layout.group_data * slot, 0, parities * slot);
    std::mutex adding;
    std::vector<char> opened(count, 0);
    team.ForEachCoreTaking(count, [&](const auto& next) {
        std::optional<ParitySum> run_sum;
        if (sum)
            run_sum.emplace(summing.value(), slot);
        pieces.ReadOnce();
        for (std::size_t j = 0; next(j);) {
            opened[j] = pieces.Wait(j) &&
                        OpenSlot(layout, cipher, first + j, slots + j * slot, plaintext(j));
            if (run_sum)
                run_sum->Add(static_cast<unsigned>(j), slots + j * slot);
        }
        if (run_sum) {
            std::lock_guard<std::mutex> lock(adding);
            run_sum->AddTo(slots + layout.group_data * slot);
        }
    });
    if ((outcome.read = pieces.status()); !outcome.read)
        return outcome;
    std::vector<unsigned> bad;
    for (std::size_t j = 0; j < count; ++j) {
        if (opened[j])
            continue;
        outcome.damaged.push_back(first + j);
        // The index's chunks have a copy at the end.
        if (first + j < layout.index_chunks) {
            std::vector<std::uint8_t> copy(slot);
            std::size_t copy_whole = 0;
            if ((outcome.read = ReadSlots(source, layout, layout.IndexCopyAt(first + j), 1,
                                          copy.data(), copy_whole));
                !outcome.read)
                return outcome;
            if (copy_whole == 1 && OpenSlot(layout, cipher, first + j, copy.data(), plaintext(j))) {
                std::memcpy(slots + j * slot, copy.data(), slot);
                ++outcome.rebuilt;
                continue;
            }
        }
        bad.push_back(static_cast<unsigned>(j));
    }
    if (bad.empty()) {
        if (check_parity) {
            // A chunk taken from the index's copy changed the slots summed.
            const Result<bool> agrees =
                ParityAgrees(source, layout, group, slots, count, sum && outcome.damaged.empty());
            if (!agrees)
                outcome.read = agrees.error();
            else
                outcome.parity_differs = !agrees.value();
        }
        return outcome;
    }
    const unsigned parity = static_cast<unsigned>(layout.group_parity);
    std::uint8_t* parity_slots = slots + layout.group_data * slot;
    std::vector<std::uint8_t> read_parity(parity * slot);
    for (unsigned r = 0; r < parity; ++r) {
        std::size_t parity_whole = 0;
        if ((outcome.read = ReadSlots(source, layout, layout.ParityAt(group, r), 1,
                                      read_parity.data() + r * slot, parity_whole));
            !outcome.read)
            return outcome;
    }
    const Result<ParityCode> code = ParityCode::Make(static_cast<unsigned>(count), parity);
    std::vector<std::uint8_t> damaged_data(bad.size() * slot);
    for (std::size_t i = 0; i < bad.size(); ++i)
        std::memcpy(damaged_data.data() + i * slot, slots + bad[i] * slot, slot);
    // Any of the parity slots may be damaged too: each choice of the ones
    // to trust is tried until every rebuilt chunk opens.
    if (code && bad.size() <= parity) {
        std::vector<std::uint8_t*> blocks(count + parity);
        for (std::size_t j = 0; j < count; ++j)
            blocks[j] = slots + j * slot;
        for (unsigned r = 0; r < parity; ++r)
            blocks[count + r] = parity_slots + r * slot;
        for (unsigned distrusted : Subsets(parity, parity - static_cast<unsigned>(bad.size()))) {
            std::memcpy(parity_slots, read_parity.data(), read_parity.size());
            std::vector<unsigned> missing(bad.begin(), bad.end());
            for (unsigned r = 0; r < parity; ++r) {
                if (distrusted & (1u << r))
                    missing.push_back(static_cast<unsigned>(count) + r);
            }
            if (!code->Rebuild(blocks, missing, slot))
                continue;
            const bool all = std::all_of(bad.begin(), bad.end(), [&](unsigned j) {
                return OpenSlot(layout, cipher, first + j, slots + j * slot, plaintext(j));
            });
            if (all) {
                outcome.rebuilt += bad.size();
                return outcome;
            }
        }
    }
    for (std::size_t i = 0; i < bad.size(); ++i) {
        std::memcpy(slots + bad[i] * slot, damaged_data.data() + i * slot, slot);
        outcome.lost.push_back(first + bad[i]);
    }
    return outcome;
}

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
