#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "container/container_kind.h"
#include "container/folder_handles.h"
#include "container/restore_source.h"
#include "container/run.h"
#include "container/staging_folder.h"

namespace velmora {

// The restore of a container beside itself, in the order it happens: read
// and check everything before any folder exists, create the folders and
// write the files inside the staging folder (the user's alone), and give
// the tree its name only once it is complete, flushed and still the one
// made; then delete the container, only while it is provably the one read.
// The container stays open from its first read to its delete, and every
// restored folder is reached through its parent's handle. Each step raises
// the run's failure; Discard then takes away what was staged.
class Restore {
  public:
    Restore(Run& run, RestoreSource& source) : run_(run), source_(source) {}

    // The opened container's key checked and every entry read and checked,
    // then the names checked against the system that is to hold them.
    void ReadEntries(const ContainerHeader& header);
    void Crear_carpetas();
    // Writes every file, sets the folders' attributes, names the tree and
    // (unless the container is kept) deletes the container.
    void Extraer();
    // Overwrites and removes what was staged, after a failure.
    void Discard();

    const std::vector<DecodedEntry>& entries() const { return index_.entries; }

  private:
    void SetFolderAttributes(std::uint32_t folder, std::uint8_t stored);
    // An attribute set, or left out where the file system has none.
    void SetDetail(const Status& set);
    // The attributes set, the tree flushed and checked, and named.
    void Publish();
    // "Cancelar": what was extracted is published and stays, the
    // container stays too, and the program ends.
    void PublishIfCancelled();
    void CheckTreeInPlace();

    Run& run_;
    RestoreSource& source_;
    std::unique_ptr<ContainerReader> reader_;
    RestoreIndex index_;
    std::optional<StagingFolder> staging_;
    std::string root_;  // the restored root's path without the staging
    // The restored folders: their handles, the read-only ones (set last),
    // and each by its folder part, numbered in the order they were made.
    FolderHandles folders_{run_.files};
    std::vector<std::uint32_t> read_only_folders_;
    std::map<std::string_view, std::uint32_t> restored_folders_;
    int writing_ = -1;  // the file being written, until it is closed
    bool details_skipped_ = false;
    // While staged, "Cancelar" does not end the program on the spot: the
    // restore stops at its next safe point and removes what it made.
    std::optional<CancelToken::Heeding> stops_on_cancel_;
};

// Refuses, naming both, two paths of a container's tree that differ only in
// case: two entries, two folders they lie in, or a file and a folder (each
// path compared without its final "\", by its Windows-1252 upper case). A
// system that ignores case would take them for one name and restore one
// over the other, so the refusal comes before anything is made.
Status CheckCaseCollisions(const std::vector<DecodedEntry>& entries);

}  // namespace velmora
