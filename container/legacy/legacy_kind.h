#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "base/result.h"
#include "container/legacy/container_format.h"
#include "container/legacy/legacy_reader.h"
#include "container/legacy/legacy_writer.h"
#include "container/run.h"
#include "container/tree_scan.h"
#include "platform/names.h"

namespace velmora {

// The legacy kind as the engine and velmora-cli use it, under one key:
// names in Windows-1252, the program's own text; the scan's legacy rules
// (no control codes, ":" or "/", no names equal once upper-cased, files
// under 2 GiB); the stored names the key can give back; stored paths
// checked as kLegacyStoredPath says (relative_path.h); and its writer and
// reader.
class LegacyKind {
  public:
    static constexpr NameCoding kNameCoding = NameCoding::kWindows1252;
    static constexpr NameRules kNameRules = NameRules::kLegacy;

    LegacyKind(Run& run, std::string key) : run_(run), key_(std::move(key)) {}

    // Refuses entries of the scanned tree (files, and folders without
    // files) whose stored name the container could not give back exactly
    // under this key: stored paths over 255 characters, paths ending in a
    // space, and names whose encoded form begins or ends with a space.
    Status CheckStoredNames(const TreeScan& scan, const std::string& root) const;

    // Stored names are the full paths less their first `base_path_length`
    // characters.
    LegacyWriter Writer(std::size_t base_path_length) const {
        return LegacyWriter(run_.tables, key_, run_.host, base_path_length);
    }
    std::unique_ptr<LegacyReader> Reader(int file, ByteSource& source,
                                         const ContainerHeader& header,
                                         StoredNameCase names = StoredNameCase::kUpper) const {
        return std::make_unique<LegacyReader>(run_.files, file, source, header, run_.tables,
                                              run_.host, key_, names);
    }
    // The reader of a container just written, its header read first.
    Result<std::unique_ptr<ContainerReader>> ReaderOfWritten(int file, ByteSource& source) const;

  private:
    Run& run_;
    std::string key_;
};

}  // namespace velmora
