#include <errno.h>

#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr std::int64_t kChunk = 65535;
// The last chunk is shorter than one and a half chunks.
constexpr std::size_t kLargestChunk = 98303;

bool IsAccessError(int error_number) {
    return error_number == EACCES || error_number == EPERM || error_number == EBUSY ||
           error_number == ETXTBSY;
}

}  // namespace

void Engine::BorrarOrig(const FoundList& Lista) {
    files_left_.clear();
    opened_folders_.clear();
    state_.CancelRequested = false;
    state_.Wiping = true;
    std::vector<Overwritten> batch;
    std::int64_t batch_bytes = 0;
    std::size_t next = 0;
    for (; next < Lista.size() && !state_.CancelRequested; ++next) {
        if (Lista.IsFolderEntry(next))
            continue;
        EntryInfo overwritten;
        switch (Sobrescribir(Lista[next], overwritten)) {
            case Overwrite::kDone:
                batch.push_back({Lista[next], overwritten});
                batch_bytes += overwritten.size;
                break;
            case Overwrite::kNotOverwritten:
                DeleteUnwritten(Lista[next]);
                break;
            case Overwrite::kLeftAlone:
            case Overwrite::kGone:
                break;
        }
        if (batch.size() >= options_.wipe_batch_files || batch_bytes >= options_.wipe_batch_bytes) {
            DeleteBatch(batch);
            batch_bytes = 0;
        }
    }
    DeleteBatch(batch);
    if (state_.CancelRequested) {
        StopWipeOnCancel(Lista, next);  // ends the program
        return;
    }
    state_.Wiping = false;
    RemoveFolders();
    (void)files_.SyncFolderOpen(OrFail(folders_.Get(TreeScan::kRootParent)));
    ReportLeftovers();
}

// The walked folders, deepest first, each reset to normal attributes and
// removed through its parent's handle while its name still holds the folder
// the scan saw. Failures are skipped: what stays is reported.
void Engine::RemoveFolders() {
    std::vector<bool> removed(scan_.entries.size(), false);
    for (auto it = removal_entries_.rbegin(); it != removal_entries_.rend(); ++it) {
        const std::uint32_t entry = *it;
        if (entry == kNoEntry || !scan_.IsFolder(entry) || removed[entry])
            continue;  // the encoded folder's parent, a top-level file, or done
        removed[entry] = true;
        if (entry != TreeScan::kRoot)
            AllowDeletingIn(scan_.entries[entry].parent);
        if (Result<int> folder = folders_.Get(entry); folder)
            (void)files_.SetAttrOpen(folder.value(), 0);
        folders_.Release(entry);
        Result<int> parent = folders_.Get(entry == TreeScan::kRoot ? TreeScan::kRootParent
                                                                   : scan_.entries[entry].parent);
        if (parent)
            (void)files_.RemoveFolderAt(parent.value(), NameOf(entry), scan_.entries[entry].info);
    }
}

// Whether the scanned folder is still where the scan saw it.
bool Engine::StillThere(std::uint32_t folder) {
    Result<int> parent = folders_.Get(folder == TreeScan::kRoot ? TreeScan::kRootParent
                                                                : scan_.entries[folder].parent);
    if (!parent)
        return false;
    const Result<EntryInfo> now = files_.InspectAt(parent.value(), NameOf(folder));
    EntryInfo seen = scan_.entries[folder].info;
    if (folder == TreeScan::kRoot)
        seen.mount_id = 0;  // a mounted folder's name reads the parent's mount
    return now && SameFolder(now.value(), seen);
}

// Overwrites the file with bytes of 255, without flushing: the batch is
// flushed as a whole before any of its files is deleted. The file is
// reached through its folder's handle and touched only while it is, by name
// and then by its open handle, the file the scan saw (same device, inode,
// size, modification and change times) and has no other name. What it is
// right after the overwrite is what its delete checks again.
Engine::Overwrite Engine::Sobrescribir(std::uint32_t entry, EntryInfo& overwritten) {
    const EntryInfo& seen = scan_.entries[entry].info;
    const std::string path = scan_.FullPath(entry);
    const std::string shown = files_.DisplayPath(path);
    const std::string name = NameOf(entry);
    Result<int> folder_handle = folders_.Get(scan_.entries[entry].parent);
    if (!folder_handle) {
        LeftBehind(path, folder_handle.error().message);
        return Overwrite::kLeftAlone;
    }
    const int folder = folder_handle.value();
    const Result<EntryInfo> before_open = files_.InspectAt(folder, name);
    if (!before_open)
        return Overwrite::kGone;
    if (!SameUntouchedFile(before_open.value(), seen)) {
        LeaveAlone(path);
        return Overwrite::kLeftAlone;
    }
    Result<int> file = files_.OpenAt(folder, name, OpenMode::kReadWrite);
    bool attributes_reset = false;
    if (!file && IsAccessError(file.error().code)) {
        // A read-only file: normal attributes let its owner write it.
        (void)files_.SetAttrAt(folder, name, 0, &seen);
        attributes_reset = true;
        file = files_.OpenAt(folder, name, OpenMode::kReadWrite);
    }
    if (!file) {
        overwrite_error_ = file.error().message;
        if (IsAccessError(file.error().code) && !options_.report_leftovers)
            host_.ShowMessage("Error al intentar eliminar el archivo " + shown + "\n" +
                                  "El archivo est\xE1 siendo utilizado",
                              MessageIcon::kCritical);
        return Overwrite::kNotOverwritten;
    }
    struct Closer {
        FileSystem& files;
        int number;
        ~Closer() { (void)files.Close(number); }
    } closer{files_, file.value()};
    const Result<EntryInfo> opened = files_.InspectOpen(file.value());
    EntryInfo expected = seen;
    if (attributes_reset && opened)
        expected.changed_ns = opened->changed_ns;  // our own change
    if (!opened || !SameUntouchedFile(opened.value(), expected)) {
        LeaveAlone(path);
        return Overwrite::kLeftAlone;
    }
    if (!attributes_reset)
        (void)files_.SetAttrOpen(file.value(), 0);

    static const std::vector<std::uint8_t> ones(kLargestChunk, 0xFF);
    const std::int64_t n = opened->size;
    bool complete = true;
    auto write = [&](std::int64_t offset, std::int64_t piece) {
        const Status done =
            files_.Write(file.value(), offset, ones.data(), static_cast<std::size_t>(piece));
        if (!done && options_.report_leftovers)
            host_.ShowMessage(done.error().message + " Se ha sobrescrito solo en parte.",
                              MessageIcon::kCritical);
        complete = done.ok();
        return complete;
    };
    if (n > kChunk) {
        const std::int64_t chunks = (n + kChunk / 2) / kChunk;  // nearest; halves cannot occur
        std::int64_t written = 0;
        for (std::int64_t c = 1; c <= chunks && complete; ++c) {
            const std::int64_t piece = c < chunks ? kChunk : n - written;
            if (write(written, piece))
                written += piece;
            host_.PumpEvents();
        }
    } else if (n > 0) {
        write(0, n);
    }
    const Result<EntryInfo> after = files_.InspectOpen(file.value());
    if (!after) {
        LeftBehind(path, "sobrescrito, pero " + after.error().message);
        return Overwrite::kLeftAlone;
    }
    overwritten = after.value();
    if (!complete)
        return Overwrite::kDone;
    host_.PumpEvents();
    (void)files_.Close(file.value());
    host_.PumpEvents();
    return Overwrite::kDone;
}

// Makes the batch's overwrites durable with one flush of the tree's file
// system, then deletes each file through its folder's handle, provided the
// name still holds exactly the file that was overwritten (same inode, size
// and times: a program that wrote to it meanwhile keeps it).
void Engine::DeleteBatch(std::vector<Overwritten>& batch) {
    if (batch.empty())
        return;
    const Status flushed = files_.SyncFileSystemOpen(OrFail(folders_.Get(TreeScan::kRoot)));
    for (const Overwritten& done : batch) {
        const std::string path = scan_.FullPath(done.entry);
        if (!flushed) {
            LeftBehind(path, "sobrescrito, pero no se ha podido asegurar en disco (" +
                                 flushed.error().message + ")");
            continue;
        }
        const std::uint32_t parent = scan_.entries[done.entry].parent;
        AllowDeletingIn(parent);
        Result<int> folder = folders_.Get(parent);
        const Result<bool> deleted =
            folder ? files_.DeleteFileAt(folder.value(), NameOf(done.entry), done.identity)
                   : Result<bool>(folder.error());
        if (!deleted)
            LeftBehind(path, "sobrescrito, pero " + deleted.error().message);
        else if (!deleted.value())
            LeaveAlone(path);
    }
    batch.clear();
}

// A file that could not be opened for writing: its delete is tried all the
// same, as long as the name still refers to the file that was packed.
void Engine::DeleteUnwritten(std::uint32_t entry) {
    const std::string path = scan_.FullPath(entry);
    const std::uint32_t parent = scan_.entries[entry].parent;
    AllowDeletingIn(parent);
    Result<int> folder = folders_.Get(parent);
    const Result<bool> deleted =
        folder ? files_.DeleteFileAt(folder.value(), NameOf(entry), scan_.entries[entry].info)
               : Result<bool>(folder.error());
    if (!options_.report_leftovers) {
        if (!deleted || !deleted.value())
            files_left_.push_back(path);
        return;
    }
    if (deleted && deleted.value())
        host_.ShowMessage(overwrite_error_ +
                              " Se ha borrado sin sobrescribir (su copia est\xE1 en "
                              "el contenedor).",
                          MessageIcon::kInformation);
    else
        LeftBehind(path, "no se ha podido sobrescribir ni borrar (" + overwrite_error_ + ")");
}

// Deleting an entry needs write permission on its folder; a read-only
// folder inside the tree gets it for its owner, through its own handle. The
// encoded folder's parent lies outside the tree and is never changed.
void Engine::AllowDeletingIn(std::uint32_t folder) {
    for (const auto& [opened, former] : opened_folders_)
        if (opened == folder)
            return;
    Result<int> handle = folders_.Get(folder);
    if (!handle)
        return;
    const Result<int> attributes = files_.GetAttrOpen(handle.value(), NameOf(folder));
    if (!attributes || (attributes.value() & kReadOnly) == 0)
        return;
    if (files_.SetAttrOpen(handle.value(), attributes.value() & ~kReadOnly))
        opened_folders_.emplace_back(folder, attributes.value());
}

}  // namespace velmora
