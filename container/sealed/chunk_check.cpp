#include "container/sealed/chunk_check.h"

#include <algorithm>
#include <cstring>

#include "container/sealed/chunk_cipher.h"
#include "container/sealed/chunk_group.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/parity_code.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_stream_reader.h"

namespace velmora {
namespace {

// The stored parity slots of a group that differ from the parity of its
// data slots as they are now (rebuilt where damaged).
Result<std::uint64_t> DamagedParity(ByteSource& source, const ChunkLayout& layout,
                                    std::uint64_t group, const GroupBuffers& buffers) {
    const std::size_t count = layout.ChunksIn(group);
    const std::size_t slot = layout.slot_size;
    const unsigned parity = static_cast<unsigned>(layout.group_parity);
    const Result<ParityCode> code = ParityCode::Make(static_cast<unsigned>(count), parity);
    if (!code)
        return code.error();
    std::vector<const std::uint8_t*> data(count);
    for (std::size_t j = 0; j < count; ++j)
        data[j] = buffers.slots.get() + j * slot;
    std::vector<std::uint8_t> computed(parity * slot);
    std::vector<std::uint8_t*> outputs(parity);
    for (unsigned r = 0; r < parity; ++r)
        outputs[r] = computed.data() + r * slot;
    code->Encode(data, outputs, slot);
    std::vector<std::uint8_t> stored(slot);
    std::uint64_t damaged = 0;
    for (unsigned r = 0; r < parity; ++r) {
        std::size_t whole = 0;
        if (Status read =
                ReadSlots(source, layout, layout.ParityAt(group, r), 1, stored.data(), whole);
            !read)
            return read.error();
        if (whole != 1 || std::memcmp(stored.data(), outputs[r], slot) != 0)
            ++damaged;
    }
    return damaged;
}

// The index's chunks of this group whose copy at the end differs from the
// data slot (which is as written, rebuilt where damaged).
Result<std::uint64_t> DamagedIndexCopies(ByteSource& source, const ChunkLayout& layout,
                                         const GroupOutcome& outcome, const GroupBuffers& buffers) {
    const std::uint64_t first = layout.FirstChunk(outcome.group);
    const std::uint64_t end = std::min(first + layout.ChunksIn(outcome.group), layout.index_chunks);
    std::vector<std::uint8_t> copy(layout.slot_size);
    std::uint64_t damaged = 0;
    for (std::uint64_t n = first; n < end; ++n) {
        if (std::find(outcome.lost.begin(), outcome.lost.end(), n) != outcome.lost.end())
            continue;  // lost: nothing to compare with
        std::size_t whole = 0;
        if (Status read = ReadSlots(source, layout, layout.IndexCopyAt(n), 1, copy.data(), whole);
            !read)
            return read.error();
        const std::uint8_t* slot = buffers.slots.get() + (n - first) * layout.slot_size;
        if (whole != 1 || std::memcmp(copy.data(), slot, layout.slot_size) != 0)
            ++damaged;
    }
    return damaged;
}

Result<std::uint64_t> DamagedHeaders(ByteSource& source, const SealedHeader& header,
                                     const ChunkLayout& layout) {
    const SealedHeaderBytes expected = EncodeSealedHeader(header);
    std::vector<std::uint8_t> read(expected.size());
    std::uint64_t damaged = 0;
    for (const std::uint64_t at : {std::uint64_t{0}, layout.HeaderCopyAt()}) {
        const std::uint64_t size = static_cast<std::uint64_t>(source.Size());
        if (at + read.size() > size) {
            ++damaged;
            continue;
        }
        if (Status got = source.ReadAt(static_cast<std::int64_t>(at), read.data(), read.size());
            !got)
            return got.error();
        if (read != expected)
            ++damaged;
    }
    return damaged;
}

// The index, read through the stream (which refuses a group with a lost
// chunk): the counts, and the files whose bytes lie in a lost chunk.
void ReadIndex(ByteSource& source, const SealedHeader& header, const SealedKeys& keys,
               const ChunkLayout& layout, ChunkCheck& check) {
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source, header, keys);
    if (!stream) {
        check.index_refused = stream.error().message;
        return;
    }
    Result<std::vector<SealedEntry>> index = ReadSealedIndex(stream.value());
    if (!index) {
        check.index_refused = index.error().message;
        return;
    }
    check.index_read = true;
    check.entries = index->size();
    std::uint64_t at = header.index_length;
    for (const SealedEntry& entry : index.value()) {
        if (entry.folder)
            continue;
        ++check.files;
        check.bytes += entry.size;
        if (entry.size > 0) {
            const std::uint64_t first = at / layout.chunk_size;
            const std::uint64_t last = (at + entry.size - 1) / layout.chunk_size;
            const auto lost = std::lower_bound(check.lost.begin(), check.lost.end(), first);
            if (lost != check.lost.end() && *lost <= last)
                check.lost_files.push_back(entry.path);
        }
        at += entry.size;
    }
}

}  // namespace

Result<ChunkCheck> CheckChunks(ByteSource& source, const SealedHeader& header,
                               const SealedKeys& keys, const std::function<void()>& pump) {
    const ChunkLayout layout(header);
    const ChunkCipher cipher(keys, header);
    ChunkCheck check;
    check.size = static_cast<std::uint64_t>(std::max<std::int64_t>(source.Size(), 0));
    check.expected_size = layout.ContainerSize();
    check.size_wrong = check.size != check.expected_size;
    GroupBuffers buffers(layout);
    CoreTeam team;
    for (std::uint64_t group = 0; group < layout.groups; ++group) {
        const GroupOutcome outcome = ReadGroup(source, layout, cipher, group, buffers, team);
        if (!outcome.read)
            return outcome.read.error();
        check.chunks_rebuilt += outcome.damaged.size() - outcome.lost.size();
        check.lost.insert(check.lost.end(), outcome.lost.begin(), outcome.lost.end());
        if (outcome.lost.empty()) {
            Result<std::uint64_t> parity = DamagedParity(source, layout, group, buffers);
            if (!parity)
                return parity.error();
            check.parity_damaged += parity.value();
        }
        Result<std::uint64_t> copies = DamagedIndexCopies(source, layout, outcome, buffers);
        if (!copies)
            return copies.error();
        check.index_copies_damaged += copies.value();
        pump();
    }
    Result<std::uint64_t> headers = DamagedHeaders(source, header, layout);
    if (!headers)
        return headers.error();
    check.headers_damaged = headers.value();
    ReadIndex(source, header, keys, layout, check);
    return check;
}

}  // namespace velmora
