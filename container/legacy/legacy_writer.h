#pragma once

#include <cstdint>
#include <string>

#include "cipher/cipher_tables.h"
#include "container/container_kind.h"
#include "container/host.h"
#include "container/legacy/data_coding.h"

namespace velmora {

// Writes the legacy kind: the 21-byte header with the key's check value,
// one record per entry (its stored name encoded with the key, its
// attributes as the record's width keeps them, its size), then each file's
// data coded by the key. Stored names are the full paths less their first
// `base_path_length` characters (the encoded folder's parent).
class LegacyWriter : public ContainerWriter {
  public:
    LegacyWriter(const CipherTables& tables, const std::string& key, Host& host,
                 std::size_t base_path_length);

    Status WriteHeader(BufferedWriter& out, std::size_t count, std::size_t longest_path,
                       std::uint8_t folder_attributes) override;
    Status WriteEntry(BufferedWriter& out, const IndexEntry& entry) override;
    Status WriteFileData(BufferedWriter& out, std::int64_t size, const ReadPiece& read) override;
    // The data area ends the container: nothing follows it.
    Status Finish(BufferedWriter&) override { return Status::Ok(); }

  private:
    const CipherTables& tables_;
    const std::string& key_;
    Host& host_;
    std::size_t base_path_length_;
    KeyStream stream_;
    std::uint8_t width_code_ = 0;
    std::string stored_;  // reused for every record's stored name
};

}  // namespace velmora
