#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "container/tree_scan.h"
#include "platform/tree_ops.h"

namespace velmora {

// The mark a wipe leaves beside its container while it runs (hidden, named
// from the container's name as the staging folder is, ".velmora-" and
// eight hex digits, then ".borrando", so that it fits whatever the
// container's name is long): written and flushed, through the container
// folder's handle, before the first original is touched, and removed once
// the wipe has ended (or stopped on "Cancelar"). It holds the container's
// identity as it was checked, so that a run finding it after a kill can
// tell whether the container is still the one the wipe trusted.
class WipeRecord {
  public:
    explicit WipeRecord(TreeOps& files) : files_(files) {}
    ~WipeRecord();
    WipeRecord(const WipeRecord&) = delete;
    WipeRecord& operator=(const WipeRecord&) = delete;

    Status Write(const std::string& container_path);
    void Remove();

  private:
    TreeOps& files_;
    int folder_ = -1;
    std::string name_;
    EntryInfo written_;
};

std::string WipeRecordName(const std::string& container_name);

// What a run finds beside a container: no record, a record of this very
// container (unchanged since its check), or a record whose container has
// changed or gone.
enum class InterruptedWipe { kNone, kSameContainer, kContainerChanged };
InterruptedWipe FindInterruptedWipe(TreeOps& files, const std::string& container_path);

// Removes the record beside a container, through the container folder's
// handle and only while its name holds the record found there; true when
// one was removed.
bool RemoveWipeRecord(TreeOps& files, const std::string& container_path);

// The files of a scanned tree that an interrupted wipe had already
// overwritten: every byte 255, at the size the scan saw (not empty).
std::vector<std::string> OverwrittenFiles(TreeOps& files, const TreeScan& scan,
                                          FolderHandles& folders);

}  // namespace velmora
