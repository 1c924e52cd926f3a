#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "container/container_kind.h"
#include "container/folder_handles.h"
#include "container/restore_source.h"
#include "container/run.h"

namespace velmora {

// The restore of a container beside itself, in the order it happens: read
// and check everything before any folder exists, create the folders, write
// the files, and delete the container only while it and the restored tree
// are provably the ones read and made. The container stays open from its
// first read to its delete, and every restored folder is reached through
// its parent's handle. Each step raises the run's failure.
class Restore {
  public:
    Restore(Run& run, RestoreSource& source) : run_(run), source_(source) {}

    // The opened container's key checked and every entry read and checked,
    // then the names checked against the system that is to hold them.
    void ReadEntries(const ContainerHeader& header);
    void Crear_carpetas();
    // Writes every file, sets the folders' attributes, and (unless the
    // container is kept) flushes the tree and deletes the container.
    void Extraer();

    const std::vector<DecodedEntry>& entries() const { return index_.entries; }

  private:
    void SetFolderAttributes(std::uint32_t folder, std::uint8_t stored);
    bool RestoredTreeInPlace();

    Run& run_;
    RestoreSource& source_;
    std::unique_ptr<ContainerReader> reader_;
    RestoreIndex index_;
    // The restored folders: their handles, the read-only ones (set last),
    // and each by its folder part, numbered in the order they were made.
    FolderHandles folders_{run_.files};
    std::vector<std::uint32_t> read_only_folders_;
    std::map<std::string_view, std::uint32_t> restored_folders_;
};

}  // namespace velmora
