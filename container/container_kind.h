#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "container/buffered_io.h"

namespace velmora {

// Where a kind of container plugs into the engine: the engine scans, walks,
// reads the files, wipes and creates the restored tree; a writer and a
// reader turn that into the kind's own bytes and back.

// What a kind of container asks of the names and sizes it stores: the
// legacy kind gives names back upper-cased and keeps sizes in 31 bits; a
// kind with exact names keeps whatever the system holds.
enum class NameRules { kLegacy, kExact };

// One entry of the index the pack step hands a writer, in found-list order.
struct IndexEntry {
    const std::string& path;  // its full path, ending in "\" for a folder entry
    bool folder = false;
    std::uint8_t attributes = 0;
    std::uint8_t parent_attributes = 0;  // of its folder part: a folder entry's own
    std::int64_t size = -1;              // -1 for a folder entry
    std::int64_t modified_ns = 0;
    std::uint32_t mode = 0;  // POSIX permission bits
};

// One entry of a container as the restore uses it. Names have the program's
// path form whatever the kind: "\A\B" for a file, "\A\" for a folder.
struct DecodedEntry {
    std::string name;
    std::int64_t size = 0;  // -1 for a folder entry
    std::uint8_t parent_attributes = 0;
    // What only some kinds keep (zero otherwise): the entry's own
    // attributes, its modification time and its POSIX permission bits.
    std::uint8_t attributes = 0;
    std::int64_t modified_ns = 0;
    std::uint32_t mode = 0;
    bool operator==(const DecodedEntry&) const = default;
};

// Everything the restore needs before any folder exists.
struct RestoreIndex {
    std::vector<DecodedEntry> entries;
    std::uint8_t folder_attributes = 0;
    // The restored root's own time and permission bits, where the kind keeps
    // them.
    std::int64_t folder_modified_ns = 0;
    std::uint32_t folder_mode = 0;
    bool operator==(const RestoreIndex&) const = default;
};

class ContainerWriter {
  public:
    virtual ~ContainerWriter() = default;
    // The header of a container of `count` entries whose longest full path
    // has `longest_path` characters as the system shows them.
    virtual Status WriteHeader(BufferedWriter& out, std::size_t count, std::size_t longest_path,
                               std::uint8_t folder_attributes) = 0;
    virtual Status WriteEntry(BufferedWriter& out, const IndexEntry& entry) = 0;
    // A file's `size` bytes, after every entry. The writer asks `read` for
    // each piece in turn, to be read into the place it gives; `last` marks
    // the file's final piece, for which the place must hold one byte more
    // (getting it means the file grew, and fails the read).
    using ReadPiece = std::function<Status(std::uint8_t* into, std::size_t length, bool last)>;
    virtual Status WriteFileData(BufferedWriter& out, std::int64_t size, const ReadPiece& read) = 0;
    // What the kind writes after the last file's data.
    virtual Status Finish(BufferedWriter& out) = 0;
    // The index as the kind's reader will give it back, every field of
    // every entry, for the check of what was written; none where the kind
    // keeps too little to compare (the legacy kind: its names and sizes are
    // proven by the restorability check and the bytes' digest).
    virtual std::optional<RestoreIndex> WrittenIndex() const { return std::nullopt; }
};

// A kind's reader is made with the key it reads under.
class ContainerReader {
  public:
    virtual ~ContainerReader() = default;
    // Checks the key, then reads and checks every entry; Error carries the
    // message (the wrong password's included).
    virtual Result<RestoreIndex> ReadIndex() = 0;
    // Each file's bytes, files in index order: `write` gets them a piece at
    // a time.
    using WritePiece = std::function<Status(const std::uint8_t* data, std::size_t length)>;
    virtual Status ReadFileData(const DecodedEntry& entry, const WritePiece& write) = 0;
    // After the last file's data: proves, as far as the kind can tell, that
    // the container ends there, whole.
    virtual Status ReadEnd() = 0;
};

}  // namespace velmora
