#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "container/dir_walk.h"
#include "container/found_list.h"
#include "container/run.h"
#include "container/scanned_tree.h"
#include "container/wipe_record.h"
#include "platform/tree_ops.h"

namespace velmora {

// The wipe of an encoded folder, once its container is complete: every
// listed file overwritten with bytes of 255 and deleted, then the walked
// folders removed, deepest first. Every entry is reached through its
// folder's handle and touched only while it is still the one the scan saw.
class Wipe {
  public:
    Wipe(Run& run, ScannedTree& tree, const WalkResult& walk, std::string container_path)
        : run_(run), tree_(tree), walk_(walk), container_path_(std::move(container_path)) {}

    // The wipe record is written beside the container first (the wipe does
    // not start without it) and removed at the end. Files are overwritten in
    // batches, each flushed once before its files are deleted. Failures are
    // skipped; what stays is reported. "Cancelar" stops it at the next safe
    // point and ends the program.
    void BorrarOrig(const FoundList& Lista);

    // Whether anything of the folder is still there after the wipe.
    bool LeftAnything() { return !files_left_.empty() || tree_.StillThere(TreeScan::kRoot); }

  private:
    // What the overwrite of one file came to.
    enum class Overwrite { kDone, kLeftAlone, kNotOverwritten, kGone };
    struct Overwritten {
        std::uint32_t entry;
        EntryInfo identity;  // of the file right after it was overwritten
    };
    Overwrite Sobrescribir(std::uint32_t entry, EntryInfo& overwritten);
    bool CopiedUp(std::uint32_t entry, int folder, int file, const EntryInfo& opened);
    void DeleteBatch(std::vector<Overwritten>& batch);
    void DeleteUnwritten(std::uint32_t entry);
    void AllowDeletingIn(std::uint32_t folder);
    void RemoveFolders();

    // What the wipe tells (wipe_report.cpp).
    void LeaveAlone(const std::string& path);
    void LeftBehind(const std::string& path, const std::string& why);
    void StopWipeOnCancel(const FoundList& Lista, std::size_t next);
    std::vector<std::string> FoldersStillThere();
    void ReportLeftovers();

    Run& run_;
    ScannedTree& tree_;
    const WalkResult& walk_;
    std::string container_path_;
    // Files that stay, and the folders given owner write permission so that
    // their entries could be deleted, with their former attributes.
    std::vector<std::string> files_left_;
    std::vector<std::pair<std::uint32_t, int>> opened_folders_;
    std::string overwrite_error_;  // why the last file could not be opened
    // While the files are wiped, "Cancelar" does not end the program on the
    // spot: the wipe stops at its next safe point (the current file
    // overwritten, its batch flushed and deleted).
    std::optional<CancelToken::Heeding> stops_on_cancel_;
    WipeRecord record_{run_.files};  // beside the container while the wipe runs
};

// Overwrites the first `size` bytes of the open `file` with bytes of 255,
// in pieces of 65,535 bytes, as many as the size holds rounded to the
// nearest (at least one), the last one taking what remains: a last piece
// is never shorter than half a piece unless it is the only one.
// `after_piece` runs after each piece written (the windows' events). Stops
// at the first write that fails and returns its failure; with `flush`, the
// file is then flushed to the disk.
Status OverwriteWith255(TreeOps& files, int file, std::int64_t size, bool flush,
                        const std::function<void()>& after_piece = {});

}  // namespace velmora
