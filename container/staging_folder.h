#pragma once

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "container/folder_handles.h"
#include "container/run.h"

namespace velmora {

// Whether an error says the file system has no such thing at all (FAT
// through FUSE refuses permissions with ENOSYS; other mounts, times or
// extended attributes with ENOTSUP).
inline bool UnsupportedHere(const Error& error) {
    return error.code == ENOSYS || error.code == ENOTSUP || error.code == EOPNOTSUPP;
}

// A permission, attribute or time set on a restored entry: where the file
// system has no such thing, `skipped` is marked (and said once at the
// end); any other failure fails the run.
void KeepDetail(const Status& set, bool& skipped);

// The staging folder's first name for a container: ".velmora-" and eight
// hex digits drawn from the container's own name, whatever its length.
std::string StagingName(const std::string& container_name);
// The longest name a staging folder for that container may take.
std::string WidestStagingName(const std::string& container_name);

// The hidden folder a restore builds its tree in, beside the container,
// until the whole tree is written and flushed and it takes the restored
// name. Its name is short and of one length ("-2", "-3", ... after the
// first when taken), so a folder of any name can be restored and the next
// run on the same container finds what a killed one left. It is the
// user's alone (0700) until published, hidden and locked against a second
// run. Failures are raised as the run's.
class StagingFolder {
  public:
    // `parent` is the open container's folder, `parent_path` its path.
    StagingFolder(Run& run, int parent, std::string parent_path, const std::string& container_name)
        : run_(run),
          parent_(parent),
          parent_path_(std::move(parent_path)),
          container_name_(container_name) {}
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The longest path it can have.
    std::string WidestPath() const;
    // Overwrites and removes what killed runs on this container left under
    // its names (any a live run holds locked stays), with one line each.
    void RemoveLeftovers();
    // Makes it, opens it and records it in `folders` as `id`; returns its
    // handle.
    int Make(FolderHandles& folders, std::uint32_t id);
    // Raises the failure naming `shown` unless its name still holds it.
    void CheckInPlace(const std::string& shown);
    // Gives it the name of `root` (a path beside it), or the first free of
    // "root (2)", "root (3)" ..., never replacing anything, and flushes the
    // folder that holds it. Returns the path it took.
    std::string Publish(const std::string& root);
    // Overwrites and removes what it holds and itself, through handles, as
    // far as it provably can: false when anything stays. Nothing once
    // published.
    bool Remove();

    bool published() const { return published_; }
    // The permissions the system gave it when made, before it became the
    // user's alone: what a folder made here gets.
    std::uint32_t made_mode() const { return made_mode_; }

  private:
    Run& run_;
    int parent_;
    std::string parent_path_;
    std::string container_name_;
    std::string name_;
    EntryInfo identity_;
    std::uint32_t made_mode_ = 0755;
    bool made_ = false;
    bool published_ = false;
};

// Takes away what a failed restore made: the file being written closed
// first (Windows removes a deleted file's name only once its last handle is
// closed), then every folder's handle, so that the removal has the
// descriptors it needs even when the restore ran out of them; then the
// staging folder, if made, overwritten and removed.
void DiscardStaged(Run& run, int& writing, FolderHandles& folders,
                   std::optional<StagingFolder>& staging);

// Whether a restore could give its staging folder a name beside the
// container at `container_path`: a hidden folder holding an empty folder
// is made there, renamed as a staging folder is, and removed. Some drivers
// cannot (fusefat loses what a renamed folder holds, so a folder that holds
// anything is not renamed there: ENOSYS); then the error, carrying
// kNotRestorableCode, says the container cannot be restored on that drive. Asked before a wipe:
// nothing is wiped whose container this system could not restore where it lies.
Status CheckPublishable(TreeOps& files, const std::string& container_path);

// What became of a staging folder to remove.
enum class StagedWipe { kRemoved, kHeld, kLeft };

// Overwrites every file inside the folder `name` of `parent`, which must be
// `expected`, with bytes of 255, flushes, and removes it all, deepest first:
// each folder opened from its parent's handle (never through a link or into
// another mount) and given owner permissions, each file overwritten and
// deleted only while it is the one listed. With `unlocked_only`, a folder a
// live run holds locked is left alone (kHeld). kLeft when anything stays.
StagedWipe WipeStagedFolder(TreeOps& files, int parent, const std::string& name,
                            const EntryInfo& expected, bool unlocked_only);

}  // namespace velmora
