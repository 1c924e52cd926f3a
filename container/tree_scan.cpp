#include "container/tree_scan.h"

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "container/engine_failure.h"
#include "container/host.h"
#include "container/path_helpers.h"
#include "container/scanned_tree.h"

namespace velmora {
namespace {

constexpr std::int64_t kLargestFile = 2147483647;

bool HasForbiddenCharacter(std::string_view name) {
    for (const char c : name)
        if (!IsStorableNameCode(static_cast<unsigned char>(c)))
            return true;
    return false;
}

bool SameOnceUpperCased(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperCp1252(static_cast<std::uint8_t>(a[i])) !=
            UpperCp1252(static_cast<std::uint8_t>(b[i])))
            return false;
    return true;
}

// The entry's path is built only for a message.
template <typename PathOf>
Status CheckEntry(TreeOps& files, std::uint64_t root_device, const DirEntry& entry, NameRules rules,
                  const PathOf& path_of) {
    const bool legacy = rules == NameRules::kLegacy;
    if (legacy && HasForbiddenCharacter(entry.name))
        return Error{Text(Msg::kNameWithControlCharacters, {files.paths().DisplayPath(path_of())})};
    if (entry.kind == EntryKind::kSymlink)
        return Error{Text(Msg::kSymbolicLink, {files.paths().DisplayPath(path_of())})};
    if (entry.kind == EntryKind::kOther)
        return Error{Text(Msg::kNotFileNorFolder, {files.paths().DisplayPath(path_of())})};
    const EntryInfo& info = entry.info;
    if (info.mount_root || (info.kind == EntryKind::kFolder && info.device != root_device))
        return Error{Text(Msg::kMountPoint, {files.paths().DisplayPath(path_of())})};
    if (info.kind == EntryKind::kFile && info.links > 1)
        return Error{Text(Msg::kHardLinks, {files.paths().DisplayPath(path_of())})};
    if (legacy && info.kind == EntryKind::kFile && info.size > kLargestFile)
        return Error{Text(Msg::kFileTooLarge, {files.paths().DisplayPath(path_of())})};
    return Status::Ok();
}

}  // namespace

void TreeScan::AppendRelativePath(std::uint32_t entry, std::string& out) const {
    if (entry == kRoot)
        return;
    AppendRelativePath(entries[entry].parent, out);
    out += '\\';
    out += Name(entry);
}

std::size_t TreeScan::RelativePathLength(std::uint32_t entry) const {
    std::size_t length = 0;
    for (; entry != kRoot; entry = entries[entry].parent)
        length += 1 + entries[entry].name_length;
    return length;
}

std::string TreeScan::FullPath(std::uint32_t entry) const {
    std::string path = root_path;
    AppendRelativePath(entry, path);
    return path;
}

namespace {

// Opens the root and the folder that holds it, each once by its path, and
// checks that the one holds the other under the root's name.
Status OpenRoot(TreeOps& files, const std::string& root, TreeScan& scan, FolderHandles& folders) {
    std::string parent_path = ParentOf(root);
    if (!parent_path.empty() && parent_path.back() == ':')
        parent_path += '\\';  // a drive's root folder, not its current folder
    Result<int> parent = files.OpenStartingFolder(parent_path.empty() ? "." : parent_path);
    if (!parent)
        return parent.error();
    Result<EntryInfo> parent_info = files.InspectOpen(parent.value());
    if (!parent_info) {
        (void)files.Close(parent.value());
        return parent_info.error();
    }
    folders.AddOpen(TreeScan::kRootParent, parent.value(), parent_info.value(), parent_path);
    scan.root_name = Nombre(root);
    Result<int> opened = files.OpenStartingFolder(root);
    if (!opened) {
        if (const Result<EntryInfo> what = files.InspectAt(parent.value(), scan.root_name);
            what && what->kind != EntryKind::kFolder)
            return Error{Text(Msg::kNotAFolder, {files.paths().DisplayPath(root)})};
        return opened.error();
    }
    Result<EntryInfo> info = files.InspectOpen(opened.value());
    if (!info) {
        (void)files.Close(opened.value());
        return info.error();
    }
    folders.AddOpen(TreeScan::kRoot, opened.value(), info.value(), root);
    const Result<EntryInfo> named = files.InspectAt(parent.value(), scan.root_name);
    EntryInfo expected = info.value();
    expected.mount_id = 0;  // a mounted folder's name reads the parent's mount
    if (!named || !SameFolder(named.value(), expected))
        return Error{Text(Msg::kFolderReplacedWhileOpening, {files.paths().DisplayPath(root)})};
    Result<bool> locked = files.TryLock(opened.value());
    if (!locked)
        return locked.error();
    if (!locked.value())
        return Error{Text(Msg::kAlreadyWorkingOn, {files.paths().DisplayPath(root)})};
    ScannedEntry top;
    top.info = info.value();
    scan.entries.push_back(top);
    return Status::Ok();
}

}  // namespace

Result<TreeScan> ScanTree(TreeOps& files, Host& host, const std::string& root,
                          FolderHandles& folders, NameRules rules) {
    TreeScan scan;
    scan.root_path = root;
    if (Status opened = OpenRoot(files, root, scan, folders); !opened)
        return opened.error();

    std::vector<std::uint32_t> pending = {TreeScan::kRoot};
    while (!pending.empty()) {
        const std::uint32_t folder = pending.back();
        pending.pop_back();
        host.PumpEvents();
        const std::string folder_path = scan.FullPath(folder);
        Result<int> handle = folders.Get(folder);
        if (!handle)
            return handle.error();
        Result<std::vector<DirEntry>> listed = files.ListFolderAt(handle.value());
        if (!listed)
            return listed.error();

        const auto first = static_cast<std::uint32_t>(scan.entries.size());
        scan.entries[folder].first_child = first;
        scan.entries[folder].children = static_cast<std::uint32_t>(listed->size());
        const DirEntry* previous = nullptr;
        for (const DirEntry& entry : listed.value()) {
            auto path_of = [&] { return folder_path + "\\" + entry.name; };
            if (rules == NameRules::kLegacy && previous &&
                SameOnceUpperCased(previous->name, entry.name))
                return Error{Text(Msg::kDifferOnlyInCase,
                                  {files.paths().DisplayPath(folder_path + "\\" + previous->name),
                                   files.paths().DisplayPath(path_of())})};
            previous = &entry;
            if (Status checked = CheckEntry(files, scan.entries[TreeScan::kRoot].info.device, entry,
                                            rules, path_of);
                !checked)
                return checked.error();
            ScannedEntry scanned;
            scanned.parent = folder;
            scanned.name_offset = static_cast<std::uint32_t>(scan.names.size());
            scanned.name_length = static_cast<std::uint32_t>(entry.name.size());
            scanned.attributes = entry.attributes;
            scanned.info = entry.info;
            scan.names += entry.name;
            if (scanned.info.kind == EntryKind::kFolder) {
                const auto index = static_cast<std::uint32_t>(scan.entries.size());
                folders.Add(index, folder, entry.name, scanned.info);
                pending.push_back(index);
            }
            scan.entries.push_back(scanned);
        }
    }
    return scan;
}

int ScannedTree::FolderOf(std::uint32_t entry) {
    return OrFail(
        folders.Get(entry == TreeScan::kRoot ? TreeScan::kRootParent : scan.entries[entry].parent));
}

std::string ScannedTree::NameOf(std::uint32_t entry) const {
    return entry == TreeScan::kRoot ? scan.root_name : std::string(scan.Name(entry));
}

bool ScannedTree::IsTopLevelFolder(std::uint32_t entry) const {
    return entry == TreeScan::kRoot ||
           (scan.IsFolder(entry) && scan.entries[entry].parent == TreeScan::kRoot);
}

bool ScannedTree::StillThere(std::uint32_t folder) {
    Result<int> parent = folders.Get(folder == TreeScan::kRoot ? TreeScan::kRootParent
                                                               : scan.entries[folder].parent);
    if (!parent)
        return false;
    const Result<EntryInfo> now = files.InspectAt(parent.value(), NameOf(folder));
    EntryInfo seen = scan.entries[folder].info;
    if (folder == TreeScan::kRoot)
        seen.mount_id = 0;  // a mounted folder's name reads the parent's mount
    return now && SameFolder(now.value(), seen);
}

}  // namespace velmora
