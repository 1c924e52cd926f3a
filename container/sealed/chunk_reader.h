#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "container/container_kind.h"
#include "container/host.h"
#include "container/sealed/chunk_cipher.h"
#include "container/sealed/chunk_group.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/sealed_format.h"

namespace velmora {

class SealedKeys;

// Reads a version 2 container's files from the groups that hold their
// chunks (ReadGroup: damaged chunks rebuilt where the parity allows), not
// as one stream: a file whose chunks all open comes back whatever befell
// the others. The index is read through the stream first; the restore's
// index holds the entries `keep` takes, given each entry and the chunks its
// bytes lie in (first > last for a folder or an empty file). Nothing
// unauthenticated is handed out: a lost chunk fails the read of a file
// taken whole; a file taken with holes comes back under its marked name
// (PartialName), a lost chunk's bytes written as zeros. The end is not
// proven (ReadEnd does nothing): the reader serves salvage.
class ChunkReader : public ContainerReader {
  public:
    enum class Take { kLeave, kWhole, kWithHoles };
    using Keep = std::function<Take(const SealedEntry& file, std::uint64_t first_chunk,
                                    std::uint64_t last_chunk)>;
    // A file taken with holes: its stored path, the path it is restored
    // under (both "/" between names), and the bytes of it written as zeros
    // (counted as they are read).
    struct Holed {
        std::string path;
        std::string restored_path;
        std::uint64_t zeroed = 0;
    };
    ChunkReader(ByteSource& source, const SealedHeader& header, const SealedKeys& keys, Host& host,
                Keep keep);

    Result<RestoreIndex> ReadIndex() override;
    Status ReadFileData(const DecodedEntry& entry, const WritePiece& write) override;
    Status ReadEnd() override { return Status::Ok(); }

    // The paths of the files `keep` refused, in index order.
    const std::vector<std::string>& left_out() const { return left_out_; }
    // The files taken with holes, in index order.
    const std::vector<Holed>& holed() const { return holed_; }

  private:
    Status Load(std::uint64_t group);

    ByteSource& source_;
    SealedHeader header_;
    const SealedKeys& keys_;
    Host& host_;
    Keep keep_;
    ChunkLayout layout_;
    ChunkCipher cipher_;
    GroupBuffers buffers_;
    CoreTeam team_;
    GroupOutcome loaded_;
    bool any_loaded_ = false;
    struct Place {
        std::uint64_t offset = 0;  // in the plaintext
        int holed = -1;            // among holed_, for a file taken with holes
    };
    std::map<std::string, Place> places_;  // by restore name
    std::vector<std::string> left_out_;
    std::vector<Holed> holed_;
    std::vector<std::uint8_t> zeros_;  // a chunk's worth, once a hole is read
};

// The path a file restored with holes takes, so that nobody mistakes it for
// the original: `mark` before the extension of its last name ("a/b.txt"
// gives "a/b (incompleto).txt"; a name whose only "." is its first, or
// that has none, takes it at its end), then "(2)", "(3)" ... after the mark
// while `taken` says the path is taken.
std::string PartialName(const std::string& path, std::string_view mark,
                        const std::function<bool(const std::string&)>& taken);

}  // namespace velmora
