#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "base/result.h"
#include "platform/tree_ops.h"

namespace velmora {

// The folders of one tree, each reached through its parent's handle and
// accepted only while it is the folder recorded for it (device, inode,
// mount): the one way the engine reaches the disk inside a tree. Whatever
// another program renames, links or mounts meanwhile, an operation lands in
// the recorded folder or fails.
//
// Folders are known by numbers the caller chooses. At most `keep_open`
// handles stay open; the others are opened again, from their parents, when
// asked for. A handle from Get stays valid until `keep_open` more folders
// have been opened, so callers use it at once and ask again later.
class FolderHandles {
  public:
    explicit FolderHandles(TreeOps& files, std::size_t keep_open = 256)
        : files_(files), keep_open_(keep_open) {}
    ~FolderHandles() { CloseAll(); }
    FolderHandles(const FolderHandles&) = delete;
    FolderHandles& operator=(const FolderHandles&) = delete;

    // A folder opened by the caller, kept open until CloseAll.
    void AddOpen(std::uint32_t id, int handle, const EntryInfo& identity, std::string path);
    // A folder named `name` inside folder `parent`, which must be `identity`.
    void Add(std::uint32_t id, std::uint32_t parent, std::string name, const EntryInfo& identity);
    // Records a folder the caller has opened itself under an id already added.
    void Adopt(std::uint32_t id, int handle);

    Result<int> Get(std::uint32_t id);
    const EntryInfo& Identity(std::uint32_t id) const { return folders_.at(id).identity; }
    std::uint32_t Parent(std::uint32_t id) const { return folders_.at(id).parent; }
    const std::string& Name(std::uint32_t id) const { return folders_.at(id).name; }

    // Closes the folder's handle before the folder itself is removed:
    // Windows removes a folder only once no handle holds it.
    void Release(std::uint32_t id);
    void CloseAll();

  private:
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFF;
    struct Folder {
        std::uint32_t parent = kNoParent;
        std::string name;  // for a folder added open: its path
        EntryInfo identity;
        int handle = -1;
        bool pinned = false;
        std::list<std::uint32_t>::iterator use;  // in recent_, while open and not pinned
    };
    // Marks a handle just opened or used; closes the least recently used
    // beyond the bound, never this one.
    void Touch(std::uint32_t id, Folder& folder, bool just_opened);
    std::string PathOf(std::uint32_t id) const;

    TreeOps& files_;
    std::size_t keep_open_;
    std::unordered_map<std::uint32_t, Folder> folders_;
    std::list<std::uint32_t> recent_;  // open, unpinned handles, most recent first
};

// Opens, as a starting point, the folder that holds path: "" is the current
// folder, "X:" the drive's root folder (not its current folder).
Result<int> OpenFolderHolding(TreeOps& files, const std::string& path);

// What the file system says of the entry path names, not following a link,
// read through the handle of the folder that holds it.
Result<EntryInfo> InspectNamed(TreeOps& files, const std::string& path);

}  // namespace velmora
