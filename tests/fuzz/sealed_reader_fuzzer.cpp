// libFuzzer target for the sealed reader. The bytes are read twice: as a
// container (the header's checks and the stream's framing), and as the
// plaintext of a container sealed here (the index parser, which mutated
// ciphertext would never reach past authentication). Beyond "no crash":
// every refusal is damage, "not sealed" or a wrong password, never a read
// outside the container; an accepted index never claims more than the
// container holds; and whatever is accepted, the writer writes again and
// the reader reads back the same.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "container/buffered_io.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_index.h"
#include "platform/posix/posix_file_system.h"

namespace {

using namespace velmora;

// The golden container's password, so that it opens as a seed.
constexpr std::string_view kPassword = "contraseña";
constexpr SealedParameters kFast{1, 8192, 4096};

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

// Where the containers sealed here are written: one BufferedWriter for the
// whole run (its 1 MiB buffer would otherwise be allocated and faulted in
// for every input), writing on from where the last container ended; each
// container's bytes are kept from its start.
class MemoryWrites : public PosixFileSystem {
  public:
    Status Write(int, std::int64_t offset, const std::uint8_t* data, std::size_t length) override {
        const auto at = static_cast<std::size_t>(offset) - start;
        bytes.resize(std::max(bytes.size(), at + length));
        std::copy(data, data + length, bytes.begin() + at);
        end = std::max(end, static_cast<std::size_t>(offset) + length);
        return Status::Ok();
    }
    void Next() {
        bytes.clear();
        start = end;
    }
    std::vector<std::uint8_t> bytes;
    std::size_t start = 0;  // the current container's first byte in the "file"
    std::size_t end = 0;
};

struct Tree {
    std::vector<SealedEntry> entries;
    std::vector<std::uint8_t> data;  // every file's bytes, in index order
    bool operator==(const Tree&) const = default;
};

void CheckRefusal(const Error& error, bool wrong_password_possible) {
    const SealedFault fault = FaultOf(error);
    if (fault == SealedFault::kOther)
        Broken("a refusal that is not damage (a read outside the container?)");
    if (fault == SealedFault::kWrongPassword && !wrong_password_possible)
        Broken("a wrong password where the key was right");
}

std::optional<Tree> ReadAll(const std::vector<std::uint8_t>& bytes, bool ours) {
    MemoryByteSource source(bytes);
    Result<SealedHeader> header = ReadSealedHeader(source);
    if (!header) {
        CheckRefusal(header.error(), false);
        return std::nullopt;
    }
    // Within the fuzzer's memory limit, and fast.
    if (header->parameters.memlimit > (1u << 20) || header->parameters.opslimit > 2)
        return std::nullopt;
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source, *header, kPassword);
    if (!stream) {
        CheckRefusal(stream.error(), !ours);
        return std::nullopt;
    }
    Result<std::vector<SealedEntry>> entries = ReadSealedIndex(stream.value());
    if (!entries) {
        CheckRefusal(entries.error(), false);
        return std::nullopt;
    }
    Tree tree{entries.value(), {}};
    std::uint64_t claimed = 0;
    for (const SealedEntry& entry : tree.entries)
        claimed += entry.size;
    if (claimed > bytes.size())
        Broken("an index accepted whose sizes pass the container");
    for (const SealedEntry& entry : tree.entries) {
        for (std::uint64_t left = entry.size; left > 0;) {
            Result<std::span<const std::uint8_t>> view = stream->ReadView(left);
            if (!view) {
                CheckRefusal(view.error(), false);
                return std::nullopt;
            }
            tree.data.insert(tree.data.end(), view->begin(), view->end());
            left -= view->size();
        }
    }
    if (Status end = stream->Finish(); !end) {
        CheckRefusal(end.error(), false);
        return std::nullopt;
    }
    return tree;
}

std::vector<std::uint8_t> Seal(const std::vector<SealedEntry>* entries,
                               const std::vector<std::uint8_t>& data) {
    static MemoryWrites files;
    static BufferedWriter out(files, 0, 0);
    files.Next();
    Result<SealedStreamWriter> writer = SealedStreamWriter::Begin(out, kPassword, kFast);
    if (!writer)
        Broken("the writer did not start");
    if (entries != nullptr && !WriteSealedIndex(writer.value(), *entries))
        Broken("the writer refused an index the reader accepted");
    if (!writer->Write(data.data(), data.size()) || !writer->Finish() || !out.Flush())
        Broken("the writer failed in memory");
    return files.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::optional<Tree> tree = ReadAll(bytes, false);
    if (!tree)
        tree = ReadAll(Seal(nullptr, bytes), true);
    if (tree && ReadAll(Seal(&tree->entries, tree->data), true) != tree)
        Broken("an accepted tree written again reads back otherwise");
    return 0;
}
