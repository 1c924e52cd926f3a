#include "container/wipe.h"

#include <vector>

#include "base/messages.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"
#include "container/sealed/plaintext_hash.h"
#include "platform/system_failure.h"

namespace velmora {
namespace {

constexpr std::size_t kReadPiece = 1 << 16;

}  // namespace

void Wipe::BorrarOrig(const FoundList& Lista) {
    run_.cancel.Clear();
    OrFail(record_.Write(container_path_));
    stops_on_cancel_.emplace(run_.cancel, CancelToken::Heed::kWipeStops);
    std::vector<Overwritten> batch;
    std::int64_t batch_bytes = 0;
    std::size_t next = 0;
    for (; next < Lista.size() && !run_.cancel.requested(); ++next) {
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
        if (batch.size() >= run_.options.wipe_batch_files ||
            batch_bytes >= run_.options.wipe_batch_bytes) {
            DeleteBatch(batch);
            batch_bytes = 0;
        }
    }
    DeleteBatch(batch);
    if (run_.cancel.requested()) {
        record_.Remove();
        StopWipeOnCancel(Lista, next);  // ends the program
        return;
    }
    stops_on_cancel_.reset();
    RemoveFolders();
    (void)run_.files.SyncFolderOpen(OrFail(tree_.folders.Get(TreeScan::kRootParent)));
    record_.Remove();
    ReportLeftovers();
}

// The walked folders, deepest first, each reset to normal attributes and
// removed through its parent's handle while its name still holds the folder
// the scan saw. Failures are skipped: what stays is reported.
void Wipe::RemoveFolders() {
    std::vector<bool> removed(tree_.scan.entries.size(), false);
    for (auto it = walk_.removal_entries.rbegin(); it != walk_.removal_entries.rend(); ++it) {
        const std::uint32_t entry = *it;
        if (entry == ScannedTree::kNoEntry || !tree_.scan.IsFolder(entry) || removed[entry])
            continue;  // the encoded folder's parent, a top-level file, or done
        removed[entry] = true;
        if (entry != TreeScan::kRoot)
            AllowDeletingIn(tree_.scan.entries[entry].parent);
        if (Result<int> folder = tree_.folders.Get(entry); folder)
            (void)run_.files.SetAttrOpen(folder.value(), 0);
        tree_.folders.Release(entry);
        Result<int> parent = tree_.folders.Get(
            entry == TreeScan::kRoot ? TreeScan::kRootParent : tree_.scan.entries[entry].parent);
        if (parent)
            (void)run_.files.RemoveFolderAt(parent.value(), tree_.NameOf(entry),
                                            tree_.scan.entries[entry].info);
    }
}

// Overwrites the file with bytes of 255, without flushing: the batch is
// flushed as a whole before any of its files is deleted. The file is
// reached through its folder's handle and touched only while it is, by name
// and then by its open handle, the file the scan saw (same device, inode,
// size, modification and change times) and has no other name. What it is
// right after the overwrite is what its delete checks again.
Wipe::Overwrite Wipe::Sobrescribir(std::uint32_t entry, EntryInfo& overwritten) {
    const EntryInfo& seen = tree_.scan.entries[entry].info;
    const std::string path = tree_.scan.FullPath(entry);
    const std::string shown = run_.files.paths().DisplayPath(path);
    const std::string name = tree_.NameOf(entry);
    Result<int> folder_handle = tree_.folders.Get(tree_.scan.entries[entry].parent);
    if (!folder_handle) {
        LeftBehind(path, folder_handle.error().message);
        return Overwrite::kLeftAlone;
    }
    const int folder = folder_handle.value();
    const Result<EntryInfo> before_open = run_.files.InspectAt(folder, name);
    if (!before_open)
        return Overwrite::kGone;
    if (!SameUntouchedFile(before_open.value(), seen)) {
        LeaveAlone(path);
        return Overwrite::kLeftAlone;
    }
    Result<int> file = run_.files.OpenAt(folder, name, OpenMode::kReadWrite);
    bool attributes_reset = false;
    if (!file && RefusalOf(file.error().code) == Refusal::kDenied) {
        // A read-only file: normal attributes let its owner write it.
        (void)run_.files.SetAttrAt(folder, name, 0, &seen);
        attributes_reset = true;
        file = run_.files.OpenAt(folder, name, OpenMode::kReadWrite);
    }
    if (!file) {
        overwrite_error_ = file.error().message;
        if (RefusalOf(file.error().code) != Refusal::kNone && !run_.options.report_leftovers)
            run_.host.ShowMessage(Text(Msg::kFileInUse, {shown}), MessageIcon::kCritical);
        return Overwrite::kNotOverwritten;
    }
    struct Closer {
        TreeOps& files;
        int number;
        ~Closer() { (void)files.Close(number); }
    } closer{run_.files, file.value()};
    const Result<EntryInfo> opened = run_.files.InspectOpen(file.value());
    EntryInfo expected = seen;
    if (attributes_reset && opened)
        expected.changed_ns = opened->changed_ns;  // our own change
    if (opened && !SameUntouchedFile(opened.value(), expected) &&
        CopiedUp(entry, folder, file.value(), opened.value()))
        expected = opened.value();  // the copy overlayfs made, proven the file packed
    if (!opened || !SameUntouchedFile(opened.value(), expected)) {
        LeaveAlone(path);
        return Overwrite::kLeftAlone;
    }
    if (!attributes_reset)
        (void)run_.files.SetAttrOpen(file.value(), 0);

    const Status written = OverwriteWith255(run_.files, file.value(), opened->size, false,
                                            [&] { run_.host.PumpEvents(); });
    if (!written && run_.options.report_leftovers)
        run_.host.ShowMessage(Text(Msg::kOverwrittenInPart, {written.error().message}),
                              MessageIcon::kCritical);
    const Result<EntryInfo> after = run_.files.InspectOpen(file.value());
    if (!after) {
        LeftBehind(path, Text(Msg::kOverwrittenBut, {after.error().message}));
        return Overwrite::kLeftAlone;
    }
    overwritten = after.value();
    if (!written)
        return Overwrite::kDone;
    run_.host.PumpEvents();
    (void)run_.files.Close(file.value());
    run_.host.PumpEvents();
    return Overwrite::kDone;
}

// Whether the open file is the copy overlayfs made of the file packed at
// its first open for writing: the name still holds it, it has no other
// name, its size and modification time are the scan's, and its bytes, read
// through the handle, have the digest of those packed. Anything else, a
// change time moved by a write whose time was set back included, is not.
bool Wipe::CopiedUp(std::uint32_t entry, int folder, int file, const EntryInfo& opened) {
    const EntryInfo& seen = tree_.scan.entries[entry].info;
    const auto packed = tree_.packed_digests.find(entry);
    if (packed == tree_.packed_digests.end() || opened.kind != EntryKind::kFile ||
        opened.links != 1 || opened.size != seen.size || opened.modified_ns != seen.modified_ns)
        return false;
    const Result<EntryInfo> named = run_.files.InspectAt(folder, tree_.NameOf(entry));
    if (!named || named->device != opened.device || named->inode != opened.inode)
        return false;
    PlaintextHash digest;
    std::vector<std::uint8_t> piece(kReadPiece);
    for (std::int64_t at = 0; at < opened.size;) {
        const Result<std::size_t> got = run_.files.Read(file, at, piece.data(), piece.size());
        if (!got || got.value() == 0)
            return false;
        digest.Update(piece.data(), got.value());
        at += static_cast<std::int64_t>(got.value());
    }
    return digest.Final() == packed->second;
}

// Makes the batch's overwrites durable with one flush of the tree's file
// system, then deletes each file through its folder's handle, provided the
// name still holds exactly the file that was overwritten (same inode, size
// and times: a program that wrote to it meanwhile keeps it).
void Wipe::DeleteBatch(std::vector<Overwritten>& batch) {
    if (batch.empty())
        return;
    const Status flushed =
        run_.files.SyncFileSystemOpen(OrFail(tree_.folders.Get(TreeScan::kRoot)));
    for (const Overwritten& done : batch) {
        const std::string path = tree_.scan.FullPath(done.entry);
        if (!flushed) {
            LeftBehind(path, Text(Msg::kOverwrittenNotFlushed, {flushed.error().message}));
            continue;
        }
        const std::uint32_t parent = tree_.scan.entries[done.entry].parent;
        AllowDeletingIn(parent);
        Result<int> folder = tree_.folders.Get(parent);
        const Result<bool> deleted =
            folder
                ? run_.files.DeleteFileAt(folder.value(), tree_.NameOf(done.entry), done.identity)
                : Result<bool>(folder.error());
        if (!deleted)
            LeftBehind(path, Text(Msg::kOverwrittenBut, {deleted.error().message}));
        else if (!deleted.value())
            LeaveAlone(path);
    }
    batch.clear();
}

// A file that could not be opened for writing: its delete is tried all the
// same, as long as the name still refers to the file that was packed.
void Wipe::DeleteUnwritten(std::uint32_t entry) {
    const std::string path = tree_.scan.FullPath(entry);
    const std::uint32_t parent = tree_.scan.entries[entry].parent;
    AllowDeletingIn(parent);
    Result<int> folder = tree_.folders.Get(parent);
    const Result<bool> deleted = folder
                                     ? run_.files.DeleteFileAt(folder.value(), tree_.NameOf(entry),
                                                               tree_.scan.entries[entry].info)
                                     : Result<bool>(folder.error());
    if (!run_.options.report_leftovers) {
        if (!deleted || !deleted.value())
            files_left_.push_back(path);
        return;
    }
    if (deleted && deleted.value())
        run_.host.ShowMessage(Text(Msg::kDeletedWithoutOverwrite, {overwrite_error_}),
                              MessageIcon::kInformation);
    else
        LeftBehind(path, Text(Msg::kNeitherOverwrittenNorDeleted, {overwrite_error_}));
}

// Deleting an entry needs write permission on its folder; a read-only
// folder inside the tree gets it for its owner, through its own handle. The
// encoded folder's parent lies outside the tree and is never changed.
void Wipe::AllowDeletingIn(std::uint32_t folder) {
    for (const auto& [opened, former] : opened_folders_)
        if (opened == folder)
            return;
    Result<int> handle = tree_.folders.Get(folder);
    if (!handle)
        return;
    const Result<int> attributes = run_.files.GetAttrOpen(handle.value(), tree_.NameOf(folder));
    if (!attributes || (attributes.value() & kReadOnly) == 0)
        return;
    if (run_.files.SetAttrOpen(handle.value(), attributes.value() & ~kReadOnly))
        opened_folders_.emplace_back(folder, attributes.value());
}

namespace {

constexpr std::int64_t kPiece = 65535;
// The last piece is shorter than one and a half pieces.
constexpr std::size_t kLargestPiece = 98303;

}  // namespace

Status OverwriteWith255(TreeOps& files, int file, std::int64_t size, bool flush,
                        const std::function<void()>& after_piece) {
    static const std::vector<std::uint8_t> ones(kLargestPiece, 0xFF);
    const std::int64_t pieces = std::max<std::int64_t>(1, (size + kPiece / 2) / kPiece);
    for (std::int64_t piece = 1, at = 0; piece <= pieces && at < size; ++piece) {
        const std::int64_t length = piece < pieces ? kPiece : size - at;
        if (Status written = files.Write(file, at, ones.data(), static_cast<std::size_t>(length));
            !written)
            return written;
        at += length;
        if (after_piece)
            after_piece();
    }
    return flush ? files.Flush(file) : Status::Ok();
}

}  // namespace velmora
