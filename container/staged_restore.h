#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "container/container_kind.h"
#include "container/folder_handles.h"
#include "container/restore_source.h"
#include "container/run.h"
#include "container/staging_folder.h"

namespace velmora {

// The restore of a container whose names, times and permissions come back
// exactly (the sealed kind). Nothing appears until everything is proven:
// the tree is made inside the staging folder beside the container (the
// user's alone until then), every folder and file through the handle of the
// folder made for it, and only once the container has been read to its
// proven end, the tree flushed and found to be exactly what was made does
// the staging folder take the restored name (NAME, NAME (2), ...) and then
// the root's stored permissions. On any failure before that, what was
// made is overwritten and removed and the container stays as it was. Each
// step raises the run's failure.
class StagedRestore {
  public:
    StagedRestore(Run& run, RestoreSource& source, ContainerReader& reader)
        : run_(run), source_(source), reader_(reader) {}
    StagedRestore(const StagedRestore&) = delete;
    StagedRestore& operator=(const StagedRestore&) = delete;

    // Reads and checks the whole index, and the names against the system
    // that is to hold them, before anything is made.
    void ReadIndex();
    const std::vector<DecodedEntry>& entries() const { return index_.entries; }
    // After ReadIndex: the path the tree is to take (or the first free of
    // "root (2)" ...), instead of the container's without ".zol"; with
    // `folder`, the open folder that is to hold it, instead of the
    // container's.
    void SetRoot(std::string root, int folder = -1) {
        root_ = std::move(root);
        root_folder_ = folder;
    }

    // Makes the tree in the staging folder, proves the container's end,
    // flushes, and gives the tree its name; then (unless the container is
    // kept) deletes the container.
    void Restore();

  private:
    struct Made {
        std::uint32_t folder;  // among folders_
        std::string name;
        EntryInfo identity;
        bool is_folder;
    };
    void MakeFolder(const DecodedEntry& entry);
    void MakeFile(const DecodedEntry& entry, std::int64_t& done);
    // A permission, attribute or time set, or left out where the file
    // system has no such thing (said once at the end).
    void SetDetail(const Status& set);
    void SetAttributes(int handle, std::uint8_t stored, const Result<int>& now);
    void SetFolderDetail(std::uint32_t id, const std::string& name, std::uint8_t attributes,
                         std::uint32_t mode, std::int64_t modified_ns);
    void SetFolderDetails();
    // Raises the failure naming the first entry of the staged tree that is
    // not the one made, or made but not there.
    void CheckStagedTree();
    std::string EntryName(const Made& made) const;
    void StopIfCancelled();

    Run& run_;
    RestoreSource& source_;
    ContainerReader& reader_;
    RestoreIndex index_;
    std::string root_;      // the restored root's path without the staging
    int root_folder_ = -1;  // the folder that holds it, when not the container's
    std::optional<StagingFolder> staging_;
    FolderHandles folders_{run_.files};
    std::map<std::string, std::uint32_t> folder_ids_;  // by folder entry name
    std::vector<Made> made_;
    std::vector<const DecodedEntry*> folder_entries_;  // by id; 0: the root
    bool details_skipped_ = false;  // the file system has no permissions, attributes or times
    // The file being written, until it is closed: Windows removes a deleted
    // file's name only once its last handle is closed.
    int writing_ = -1;
    // While staged, "Cancelar" does not end the program on the spot: the
    // restore stops at its next safe point and removes what it made.
    std::optional<CancelToken::Heeding> stops_on_cancel_;
};

}  // namespace velmora
