#include <errno.h>

#include "container/engine.h"
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

// "T\a\." names the folder T\a itself.
std::string WithoutDotComponent(const std::string& path) {
    if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\.") == 0)
        return path.substr(0, path.size() - 2);
    return path;
}

bool Inside(const std::string& path, const std::string& root) {
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '\\');
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
    std::string item;
    for (; next < Lista.size() && !state_.CancelRequested; ++next) {
        if (Lista.IsFolderEntry(next))
            continue;
        Lista.PathInto(next, item);
        const EntryInfo& seen = scan_.entries[Lista[next]].info;
        EntryInfo overwritten;
        switch (Sobrescribir(item, seen, overwritten)) {
            case Overwrite::kDone:
                batch.push_back({item, overwritten});
                batch_bytes += overwritten.size;
                break;
            case Overwrite::kNotOverwritten:
                DeleteUnwritten(item, seen);
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

    for (auto it = state_.RemovalList.rbegin(); it != state_.RemovalList.rend(); ++it) {
        if (Nombre(*it) == "..")
            continue;  // the encoded folder's parent
        const std::string folder = WithoutDotComponent(*it);
        const Result<EntryInfo> info = files_.Inspect(folder);
        if (!info || info->kind != EntryKind::kFolder)
            continue;  // a top-level file, or a folder already removed
        AllowDeletingIn(ParentOf(folder));
        (void)files_.SetAttr(folder, 0);
        (void)files_.RemoveFolder(folder);
    }
    const std::string parent = ParentOf(state_.FolderPath);
    if (!parent.empty())
        (void)files_.SyncFolder(parent);
    ReportLeftovers();
}

// Overwrites the file with bytes of 255, without flushing: the batch is
// flushed as a whole before any of its files is deleted. The file is
// touched only while it is, by name and then by its open handle, the file
// the scan saw (same device, inode, size, modification and change times)
// and has no other name.
Engine::Overwrite Engine::Sobrescribir(std::string& path, const EntryInfo& seen,
                                       EntryInfo& overwritten) {
    path = TrimSpaces(path);
    const std::string shown = files_.DisplayPath(path);
    const Result<EntryInfo> before_open = files_.Inspect(path);
    if (!before_open)
        return Overwrite::kGone;
    if (!SameUntouchedFile(before_open.value(), seen)) {
        LeaveAlone(path);
        return Overwrite::kLeftAlone;
    }
    Result<int> file = files_.Open(path, OpenMode::kReadWrite);
    bool attributes_reset = false;
    if (!file && IsAccessError(file.error().code)) {
        // A read-only file: normal attributes let its owner write it.
        (void)files_.SetAttr(path, 0);
        attributes_reset = true;
        file = files_.Open(path, OpenMode::kReadWrite);
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
    overwritten = opened.value();
    if (!attributes_reset)
        (void)files_.SetAttr(path, 0);

    static const std::vector<std::uint8_t> ones(kLargestChunk, 0xFF);
    const std::int64_t n = overwritten.size;
    auto write = [&](std::int64_t offset, std::int64_t piece) {
        const Status done =
            files_.Write(file.value(), offset, ones.data(), static_cast<std::size_t>(piece));
        if (!done && options_.report_leftovers)
            host_.ShowMessage(done.error().message + " Se ha sobrescrito solo en parte.",
                              MessageIcon::kCritical);
        return done.ok();
    };
    if (n > kChunk) {
        const std::int64_t chunks = (n + kChunk / 2) / kChunk;  // nearest; halves cannot occur
        std::int64_t written = 0;
        for (std::int64_t c = 1; c <= chunks; ++c) {
            const std::int64_t piece = c < chunks ? kChunk : n - written;
            if (!write(written, piece))
                return Overwrite::kDone;
            written += piece;
            host_.PumpEvents();
        }
    } else if (n > 0) {
        if (!write(0, n))
            return Overwrite::kDone;
    }
    host_.PumpEvents();
    (void)files_.Close(file.value());
    host_.PumpEvents();
    return Overwrite::kDone;
}

// Makes the batch's overwrites durable with one flush of the tree's file
// system, then deletes each file through its folder's handle, provided the
// name still refers to the file that was overwritten.
void Engine::DeleteBatch(std::vector<Overwritten>& batch) {
    if (batch.empty())
        return;
    const Status flushed = files_.SyncFileSystem(state_.FolderPath);
    for (const Overwritten& done : batch) {
        if (!flushed) {
            LeftBehind(done.path, "sobrescrito, pero no se ha podido asegurar en disco (" +
                                      flushed.error().message + ")");
            continue;
        }
        AllowDeletingIn(ParentOf(done.path));
        const Result<bool> deleted = files_.DeleteFileIfSame(done.path, done.identity);
        if (!deleted)
            LeftBehind(done.path, "sobrescrito, pero " + deleted.error().message);
        else if (!deleted.value())
            LeaveAlone(done.path);
    }
    batch.clear();
}

// A file that could not be opened for writing: its delete is tried all the
// same, as long as the name still refers to the file that was packed.
void Engine::DeleteUnwritten(const std::string& path, const EntryInfo& seen) {
    AllowDeletingIn(ParentOf(path));
    const Result<bool> deleted = files_.DeleteFileIfSame(path, seen);
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
// folder inside the tree gets it for its owner. The encoded folder's parent
// lies outside the tree and is never changed.
void Engine::AllowDeletingIn(const std::string& folder) {
    if (!Inside(folder, state_.FolderPath))
        return;
    for (const auto& [opened, former] : opened_folders_)
        if (opened == folder)
            return;
    const Result<int> attributes = files_.GetAttr(folder);
    if (!attributes || (attributes.value() & kReadOnly) == 0)
        return;
    if (files_.SetAttr(folder, attributes.value() & ~kReadOnly))
        opened_folders_.emplace_back(folder, attributes.value());
}

}  // namespace velmora
