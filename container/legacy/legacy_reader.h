#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "cipher/cipher_tables.h"
#include "container/byte_source.h"
#include "container/container_kind.h"
#include "container/host.h"
#include "container/legacy/container_format.h"
#include "container/legacy/data_coding.h"
#include "platform/tree_ops.h"

namespace velmora {

// Everything about a container but its data: header, records and where the
// data area lies.
struct ContainerIndex {
    ContainerHeader header;
    std::vector<EntryRecord> records;
    std::int64_t data_offset = 0;  // first byte of the data area
    std::int64_t data_length = 0;  // sum of the file entries' sizes
};

// Reads the header alone; refuses a file shorter than a header.
Result<ContainerHeader> ReadContainerHeader(ByteSource& source);

// Checks the header against the file (a known width code, a non-negative
// count whose records fit in it), then reads the records a chunk at a time
// and hands each to visit, in order, checking sizes of -1 or more and a data
// area as long as the sizes claim so far. Holds one chunk at a time; the
// first failure, of the file or of visit, ends the reading.
Status ForEachRecord(ByteSource& source, const ContainerHeader& header,
                     const std::function<Status(const EntryRecord&)>& visit);

// The header and every record, checked as ForEachRecord checks them. Holds
// the records the file really has, no more.
Result<ContainerIndex> ReadContainerIndex(ByteSource& source);

// How a legacy reader gives the stored names: upper-cased, as the program
// restores them, or with the case they were stored with.
enum class StoredNameCase { kUpper, kAsStored };

// Reads the legacy kind from an open container: the key checked against
// the header alone, then the records a chunk at a time, each name decoded
// (upper-cased unless asked otherwise) and checked as it is read, so that
// memory follows the entries really read and a damaged index stops at its
// first bad entry; then the data area, decoded piece by piece. Each entry
// keeps its record's own attributes beside its folder's.
class LegacyReader : public ContainerReader {
  public:
    LegacyReader(TreeOps& files, int container, ByteSource& source, const ContainerHeader& header,
                 const CipherTables& tables, Host& host, std::string key,
                 StoredNameCase names = StoredNameCase::kUpper);

    Result<RestoreIndex> ReadIndex() override;
    Status ReadFileData(const DecodedEntry& entry, const WritePiece& write) override;
    // The kind has no mark at its end: bytes after the data area are not
    // part of it.
    Status ReadEnd() override { return Status::Ok(); }

  private:
    TreeOps& files_;
    int container_;
    ByteSource& source_;
    ContainerHeader header_;
    const CipherTables& tables_;
    Host& host_;
    std::string key_;
    StoredNameCase names_;
    std::optional<KeyStream> stream_;
    std::optional<BufferedReader> data_;
    std::vector<std::uint8_t> buffer_;
};

// The key of a legacy container, found without its password. The check
// value in the header allows two keys (KeysFromCheckValue); the key is the
// one whose check value the program computes equal to the stored one and
// under which every stored name begins with "\" (the records are read and
// checked as the decoder reads them). Refused, saying why, when neither
// key fits (the header or the names are damaged) or both do (no record
// tells them apart).
Result<std::string> RecoverKey(const CipherTables& tables, ByteSource& source,
                               const ContainerHeader& header);

}  // namespace velmora
