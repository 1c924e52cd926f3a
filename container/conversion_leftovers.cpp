#include "container/conversion_leftovers.h"

#include <errno.h>

#include <vector>

#include "base/messages.h"
#include "container/byte_source.h"
#include "container/legacy/legacy_reader.h"
#include "container/path_helpers.h"
#include "container/wipe.h"

namespace velmora {
namespace {

std::string Beside(const std::string& container, const std::string& name) {
    const std::string parent = ParentOf(container);
    return parent.empty() ? name : parent + "\\" + name;
}

// Still the legacy container the conversion read, or already overwritten
// from its start: nothing another program made under that name.
bool LooksLikeTheOldContainer(TreeOps& files, int file, std::int64_t size) {
    std::uint8_t first = 0;
    const Result<std::size_t> read = files.Read(file, 0, &first, 1);
    if (read && read.value() == 1 && first == 0xFF)
        return true;
    FileByteSource source(files, file, size);
    return ReadContainerHeader(source).ok();
}

}  // namespace

void GiveBackTheSetAsideName(Run& run, const std::string& set_aside,
                             const std::string& unfinished_name, Msg told) {
    TreeOps& files = run.files;
    const std::string& container = run.state.FolderPath;
    const std::string parent = ParentOf(container);
    const Result<int> opened = files.OpenStartingFolder(parent.empty() ? "." : parent);
    if (!opened)
        return;
    const int folder = opened.value();
    const std::string name = Nombre(container);
    const Result<EntryInfo> there = files.InspectAt(folder, name);
    const Result<EntryInfo> old = files.InspectAt(folder, set_aside);
    // Opened for writing: Windows deletes a file only through handles that
    // share deletion.
    const Result<int> unfinished =
        !there && there.error().code == ENOENT && old && old->kind == EntryKind::kFile
            ? files.OpenAt(folder, unfinished_name, OpenMode::kReadWrite)
            : Result<int>(Error{""});
    if (unfinished) {
        // Held while its lock is: a live run between its renames keeps it
        // locked, and is left alone.
        const Result<EntryInfo> identity = files.InspectOpen(unfinished.value());
        const Result<bool> free = files.TryLock(unfinished.value());
        if (identity && free && free.value() && files.RenameAt(folder, set_aside, name)) {
            const Result<bool> deleted =
                files.DeleteFileAt(folder, unfinished_name, identity.value());
            (void)files.SyncFolderOpen(folder);
            if (deleted && deleted.value())
                run.host.ShowMessage(
                    Text(told, {files.paths().DisplayPath(container),
                                files.paths().DisplayPath(Beside(container, unfinished_name))}),
                    MessageIcon::kInformation);
        }
        (void)files.Close(unfinished.value());
    }
    (void)files.Close(folder);
}

void GiveBackTheLegacyName(Run& run) {
    const std::string name = Nombre(run.state.FolderPath);
    GiveBackTheSetAsideName(run, name + ".antiguo", name + ".convirtiendo",
                            Msg::kLegacyNameGivenBack);
}

void DestroyAbandonedLegacy(Run& run, int folder) {
    TreeOps& files = run.files;
    const std::string legacy = Nombre(run.state.FolderPath) + ".antiguo";
    const Result<int> opened = files.OpenAt(folder, legacy, OpenMode::kReadWrite);
    if (!opened)
        return;
    const int file = opened.value();
    const Result<EntryInfo> before = files.InspectOpen(file);
    const Result<bool> free = files.TryLock(file);
    bool removed = false;
    if (before && before->kind == EntryKind::kFile && free && free.value() &&
        LooksLikeTheOldContainer(files, file, before->size)) {
        const Status written = OverwriteWith255(files, file, before->size, true);
        const Result<EntryInfo> after = files.InspectOpen(file);
        const Result<bool> deleted = written && after
                                         ? files.DeleteFileAt(folder, legacy, after.value())
                                         : Result<bool>(false);
        removed = deleted && deleted.value();
    }
    (void)files.Close(file);
    if (!removed)
        return;
    (void)files.SyncFolderOpen(folder);
    run.host.ShowMessage(Text(Msg::kAbandonedLegacyDestroyed,
                              {files.paths().DisplayPath(Beside(run.state.FolderPath, legacy)),
                               files.paths().DisplayPath(run.state.FolderPath)}),
                         MessageIcon::kInformation);
}

}  // namespace velmora
