#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "container/container_kind.h"
#include "container/host.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_stream_writer.h"

namespace velmora {

// Writes the sealed kind through the engine's seam: the header under keys
// already derived, then, through the stream, the index (every entry's name
// exactly as the system gave it, with its attributes, time and permission
// bits; the folder itself first) and every file's bytes.
class SealedWriter : public ContainerWriter {
  public:
    // Entries' paths are the program's, in UTF-8; the first `root_length`
    // characters of each (the sealed folder's path and its "\") are not
    // stored. The windows' events run before each file and after each
    // piece of it, so "Cancelar" and an interrupt end the pack promptly.
    SealedWriter(SealedKeys keys, const SealedHeader& header, std::size_t root_length, Host& host)
        : keys_(std::move(keys)), header_(header), root_length_(root_length), host_(host) {}

    Status WriteHeader(BufferedWriter& out, std::size_t count, std::size_t longest_path,
                       std::uint8_t folder_attributes) override;
    Status WriteEntry(BufferedWriter& out, const IndexEntry& entry) override;
    Status WriteFileData(BufferedWriter& out, std::int64_t size, const ReadPiece& read) override;
    Status Finish(BufferedWriter& out) override;
    std::optional<RestoreIndex> WrittenIndex() const override;

    // What a reader of the written container checks it with.
    const SealedKeys& keys() const { return keys_; }

  private:
    // The header, then the index, into the stream whole, once every entry
    // is known.
    Status WriteIndex(BufferedWriter& out);

    SealedKeys keys_;
    SealedHeader header_;
    std::size_t root_length_;
    Host& host_;
    std::optional<SealedStreamWriter> stream_;
    std::vector<SealedEntry> index_;
    bool index_written_ = false;
};

}  // namespace velmora
