#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "container/container_kind.h"
#include "container/host.h"
#include "container/legacy/container_format.h"
#include "container/legacy/data_coding.h"
#include "container/legacy/record_reader.h"
#include "platform/tree_ops.h"

namespace velmora {

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

}  // namespace velmora
