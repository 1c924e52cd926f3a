#include "container/wipe_record.h"

#include <string>

#include "container/folder_handles.h"
#include "container/path_helpers.h"
#include "container/staging_folder.h"

namespace velmora {
namespace {

std::string IdentityText(const EntryInfo& info) {
    return std::to_string(info.device) + " " + std::to_string(info.inode) + " " +
           std::to_string(info.size) + " " + std::to_string(info.modified_ns) + "\n";
}

}  // namespace

// Hidden, and as short whatever the container's name: the staging folder's
// first name with its own ending.
std::string WipeRecordName(const std::string& container_name) {
    return StagingName(container_name) + ".borrando";
}

WipeRecord::~WipeRecord() {
    if (folder_ >= 0)
        (void)files_.Close(folder_);
}

Status WipeRecord::Write(const std::string& container_path) {
    const Result<int> folder = OpenFolderHolding(files_, container_path);
    if (!folder)
        return folder.error();
    folder_ = folder.value();
    const Result<EntryInfo> container = files_.InspectAt(folder_, Nombre(container_path));
    if (!container)
        return container.error();
    name_ = WipeRecordName(Nombre(container_path));
    const Result<int> file = files_.OpenAt(folder_, name_, OpenMode::kCreateNew);
    if (!file)
        return file.error();
    const std::string text = IdentityText(container.value());
    Status written = files_.Write(file.value(), 0,
                                  reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (written)
        written = files_.Flush(file.value());
    const Result<EntryInfo> info = files_.InspectOpen(file.value());
    (void)files_.Close(file.value());
    if (info)
        written_ = info.value();  // what Remove deletes, written whole or not
    if (written)
        written = files_.SyncFolderOpen(folder_);
    if (!written)
        Remove();
    return written;
}

void WipeRecord::Remove() {
    if (name_.empty())
        return;
    const Result<bool> deleted = files_.DeleteFileAt(folder_, name_, written_);
    if (deleted && deleted.value())
        (void)files_.SyncFolderOpen(folder_);
    name_.clear();
}

InterruptedWipe FindInterruptedWipe(TreeOps& files, const std::string& container_path) {
    const Result<int> opened = OpenFolderHolding(files, container_path);
    if (!opened)
        return InterruptedWipe::kNone;
    const int folder = opened.value();
    InterruptedWipe found = InterruptedWipe::kNone;
    const std::string name = WipeRecordName(Nombre(container_path));
    if (const Result<int> record = files.OpenAt(folder, name, OpenMode::kRead); record) {
        std::string text(200, '\0');
        const Result<std::size_t> read = files.Read(
            record.value(), 0, reinterpret_cast<std::uint8_t*>(text.data()), text.size());
        text.resize(read ? read.value() : 0);
        (void)files.Close(record.value());
        const Result<EntryInfo> container = files.InspectAt(folder, Nombre(container_path));
        found = container && IdentityText(container.value()) == text
                    ? InterruptedWipe::kSameContainer
                    : InterruptedWipe::kContainerChanged;
    }
    (void)files.Close(folder);
    return found;
}

bool RemoveWipeRecord(TreeOps& files, const std::string& container_path) {
    const Result<int> opened = OpenFolderHolding(files, container_path);
    if (!opened)
        return false;
    const std::string name = WipeRecordName(Nombre(container_path));
    const Result<EntryInfo> found = files.InspectAt(opened.value(), name);
    const Result<bool> deleted = found && found->kind == EntryKind::kFile
                                     ? files.DeleteFileAt(opened.value(), name, found.value())
                                     : Result<bool>(false);
    const bool removed = deleted && deleted.value();
    if (removed)
        (void)files.SyncFolderOpen(opened.value());
    (void)files.Close(opened.value());
    return removed;
}

std::vector<std::string> OverwrittenFiles(TreeOps& files, const TreeScan& scan,
                                          FolderHandles& folders) {
    std::vector<std::string> overwritten;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (std::uint32_t entry = 1; entry < scan.entries.size(); ++entry) {
        const ScannedEntry& scanned = scan.entries[entry];
        if (scan.IsFolder(entry) || scanned.info.size == 0)
            continue;
        const Result<int> folder = folders.Get(scanned.parent);
        const Result<int> file =
            folder ? files.OpenAt(folder.value(), std::string(scan.Name(entry)), OpenMode::kRead)
                   : Result<int>(folder.error());
        if (!file)
            continue;
        bool all_255 = true;
        std::int64_t offset = 0;
        while (all_255 && offset < scanned.info.size) {
            const Result<std::size_t> read =
                files.Read(file.value(), offset, buffer.data(), buffer.size());
            if (!read || read.value() == 0)
                break;
            for (std::size_t i = 0; i < read.value() && all_255; ++i)
                all_255 = buffer[i] == 0xFF;
            offset += static_cast<std::int64_t>(read.value());
        }
        (void)files.Close(file.value());
        if (all_255 && offset == scanned.info.size)
            overwritten.push_back(scan.FullPath(entry));
    }
    return overwritten;
}

}  // namespace velmora
