// libFuzzer target for the sealed reader, both versions. The bytes are read
// twice: as a container (the header's checks, version 1's stream framing,
// version 2's chunks and their repair from parity), and as the plaintext of
// a version 2 container sealed here (the index parser, which mutated
// ciphertext would never reach past authentication). Beyond "no crash":
// every refusal is damage, "not sealed" or a wrong password, never a read
// outside the container; an accepted index never claims more than the
// container holds; whatever is accepted, the writer writes again and the
// reader reads back the same; and a container sealed here with any one slot
// zeroed reads back exactly, that slot rebuilt.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "container/buffered_io.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_index.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace velmora;

// The golden container's password, so that it opens as a seed.
constexpr std::string_view kPassword = "contraseña";

struct Tree {
    std::vector<SealedEntry> entries;
    std::vector<std::uint8_t> data;  // every file's bytes, in index order
    bool operator==(const Tree&) const = default;
};

// A refusal: damage, "not sealed", or (where the key may be wrong) a wrong
// password; nothing read.
std::nullopt_t Refused(const Error& error, bool wrong_password_possible = false) {
    const SealedFault fault = FaultOf(error);
    if (fault == SealedFault::kOther)
        Broken("a refusal that is not damage (a read outside the container?)");
    if (fault == SealedFault::kWrongPassword && !wrong_password_possible)
        Broken("a wrong password where the key was right");
    return std::nullopt;
}

std::optional<Tree> ReadAll(const std::vector<std::uint8_t>& bytes, bool ours) {
    MemoryByteSource source(bytes);
    Result<SealedHeader> header = ReadSealedHeader(source);
    if (!header)
        return Refused(header.error());
    // Within the fuzzer's memory limit, and fast.
    if (header->parameters.memlimit > (1u << 20) || header->parameters.opslimit > 2)
        return std::nullopt;
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source, *header, kPassword);
    if (!stream)
        return Refused(stream.error(), !ours);
    Result<std::vector<SealedEntry>> entries = ReadSealedIndex(stream.value());
    if (!entries)
        return Refused(entries.error());
    Tree tree{entries.value(), {}};
    std::uint64_t claimed = 0;
    for (const SealedEntry& entry : tree.entries)
        claimed += entry.size;
    // Version 1 bounds the sizes by the file; version 2 by its header's
    // (authenticated) length, the file may be cut and its end rebuilt.
    const std::uint64_t room =
        header->version == kSealedVersion1 ? bytes.size() : header->plaintext_length;
    if (claimed > room)
        Broken("an index accepted whose sizes pass the container");
    for (const SealedEntry& entry : tree.entries) {
        for (std::uint64_t left = entry.size; left > 0;) {
            Result<std::span<const std::uint8_t>> view = stream->ReadView(left);
            if (!view)
                return Refused(view.error());
            tree.data.insert(tree.data.end(), view->begin(), view->end());
            left -= view->size();
        }
    }
    if (Status end = stream->Finish(); !end)
        return Refused(end.error());
    return tree;
}

// The index's length at the start of a plaintext, as its entries' path
// lengths say (at least 8 bytes, at most all of them).
std::uint64_t IndexLength(const std::vector<std::uint8_t>& plaintext) {
    std::uint64_t count = 0;
    for (std::size_t i = 0; i < 8; ++i)
        count |= std::uint64_t{plaintext[i]} << (8 * i);
    std::size_t at = 8;
    for (std::uint64_t i = 0; i < count && at + 3 <= plaintext.size(); ++i)
        at += 3 + (plaintext[at + 1] | plaintext[at + 2] << 8) + 23;
    return std::min(at, plaintext.size());
}

// Groups of 1 to 8 chunks and 1 to 3 parity slots, as `shape` says.
SealedParameters Fast(std::uint8_t shape) {
    return {1, 8192, 4096, 1u + shape % 8u, 1u + (shape / 8u) % 3u};
}

std::vector<std::uint8_t> Seal(const std::vector<std::uint8_t>& index,
                               const std::vector<std::uint8_t>& data, std::uint8_t shape) {
    // One BufferedWriter for the whole run (its 1 MiB buffer would otherwise
    // be allocated and faulted in for every input), writing on from where
    // the last container ended.
    static MemoryWrites files;
    static BufferedWriter out(files, 0, 0);
    files.Next();
    Result<SealedStreamWriter> writer = SealedStreamWriter::Begin(
        out, kPassword, Fast(shape), index.size(), index.size() + data.size());
    if (!writer)
        Broken("the writer did not start");
    if (!writer->Write(index.data(), index.size()) || !writer->Write(data.data(), data.size()) ||
        !writer->Finish() || !out.Flush())
        Broken("the writer failed in memory");
    return files.bytes;
}

// A container sealed here, with the slot `shape` picks zeroed: its plaintext
// reads back whole, that slot rebuilt if it held a chunk.
void CheckRepair(std::vector<std::uint8_t> container, const std::vector<std::uint8_t>& plaintext,
                 std::uint8_t shape) {
    MemoryByteSource source(container);
    const ChunkLayout layout(ReadSealedHeader(source).value());
    const std::uint64_t slots = (container.size() - 2 * layout.header_size) / layout.slot_size;
    const std::uint64_t at = layout.header_size + shape % slots * layout.slot_size;
    std::fill_n(container.begin() + static_cast<std::ptrdiff_t>(at), layout.slot_size, 0);
    std::uint64_t chunks = 0;
    for (std::uint64_t n = 0; n < layout.chunks; ++n)
        chunks += layout.ChunkAt(n) == at;
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source, kPassword);
    std::vector<std::uint8_t> read(plaintext.size());
    if (!stream || !stream->Read(read.data(), read.size()) || !stream->Finish() ||
        read != plaintext || stream->RebuiltChunks() != chunks)
        Broken("one zeroed slot not rebuilt exactly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::optional<Tree> tree = ReadAll(bytes, false);
    if (bytes.size() < 8)
        return 0;  // no index
    const std::uint8_t shape = bytes.back();
    if (!tree) {
        const auto at = bytes.begin() + static_cast<std::ptrdiff_t>(IndexLength(bytes));
        const std::vector<std::uint8_t> sealed =
            Seal({bytes.begin(), at}, {at, bytes.end()}, shape);
        CheckRepair(sealed, bytes, shape);
        tree = ReadAll(sealed, true);
    }
    if (!tree)
        return 0;
    const Result<std::vector<std::uint8_t>> index = EncodeSealedIndex(tree->entries);
    if (!index)
        Broken("the writer refused an index the reader accepted");
    if (ReadAll(Seal(index.value(), tree->data, shape), true) != tree)
        Broken("an accepted tree written again reads back otherwise");
    return 0;
}
