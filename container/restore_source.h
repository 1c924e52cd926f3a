#pragma once

#include <string>
#include <vector>

#include "container/container_kind.h"
#include "container/opened_container.h"
#include "container/run.h"

namespace velmora {

// The one rule of what this system restores, used by the restore before it
// makes anything and by encode, seal and convert before any original is
// touched: every entry of a container at `container_path` must be
// creatable beside it, component by component (the folder's file system's
// longest name, the names the system refuses), the staging folder's own
// name must fit, and, where the system reaches an entry through its whole
// path (Windows), the whole path under the widest root the restore may
// use must fit. The error names the entry and carries kNotRestorableCode.
inline constexpr int kNotRestorableCode = -2901;
Status CheckRestorable(TreeOps& files, const std::string& container_path,
                       const std::vector<DecodedEntry>& entries);

// The container a restore reads, from its first read to its delete, and the
// folder that holds it: the container is opened once and locked against a
// second run, its folder is opened once and checked to hold it under its
// name, and it is deleted only while that name still holds the very file
// that was read. Failures are raised as the run's failure.
class RestoreSource {
  public:
    explicit RestoreSource(Run& run) : run_(run) {}

    // Opens the container named by FolderPath and takes its run lock.
    OpenedHeader Open();
    // Opens the folder that holds the container, once, and checks that its
    // name there still holds the container that was read: the restored
    // root is made in this folder and the container deleted from it.
    void OpenFolder();
    // Refuses, before anything is made, what CheckRestorable refuses.
    void CheckNames(const std::vector<DecodedEntry>& entries);
    // Deletes the container through its folder's handle, only while the
    // name still holds the container that was read (one decoded and made
    // again meanwhile under the same name is another file and stays).
    void DeleteContainer();
    // Once the restored tree has its name: says once that the file system
    // kept no permissions, attributes or times when `details_skipped`,
    // deletes the container unless it is kept, and closes every file.
    void Finish(bool details_skipped);

    OpenedContainer& container() { return container_; }
    int folder() const { return folder_; }
    // Whether the container's folder holds an entry of that name.
    bool Holds(const std::string& name);

  private:
    Run& run_;
    OpenedContainer container_{run_.files};
    EntryInfo identity_;  // of the container as it was read
    int folder_ = -1;
};

}  // namespace velmora
