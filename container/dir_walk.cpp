#include "container/engine.h"
#include "container/engine_failure.h"

namespace velmora {
namespace {

// Top-level entries with exactly these attribute values are reset to normal.
bool IsResetCombination(int attributes) {
    switch (attributes) {
        case 18:
        case 19:
        case 22:
        case 23:
        case 39:
        case 50:
        case 51:
        case 55:
            return true;
        default:
            return false;
    }
}

}  // namespace

void Engine::DirWalk(const std::string& CurrDir, FoundList& sFound) {
    removal_entries_.clear();
    // Top-level pass: only the outermost call, whose CurrDir ends in "\",
    // lists names; a recursive call's listing yields just its own name. The
    // listing is the scan's: ".", "..", then every entry of the folder (the
    // search's mask finds all of them), each attribute read again through
    // the folder's handle.
    if (!CurrDir.empty() && CurrDir.back() == '\\') {
        auto list = [&](const std::string& name, std::uint32_t entry) {
            host_.PumpEvents();
            if (entry != kNoEntry) {
                const int attributes = OrFail(files_.GetAttrAt(FolderOf(entry), NameOf(entry)));
                if (IsResetCombination(attributes))
                    walk_resets_.push_back(entry);
            }
            state_.RemovalList.push_back(CurrDir + name);
            removal_entries_.push_back(entry);
        };
        list(".", TreeScan::kRoot);
        list("..", kNoEntry);
        const ScannedEntry& root = scan_.entries[TreeScan::kRoot];
        for (std::uint32_t k = root.first_child; k < root.first_child + root.children; ++k)
            list(std::string(scan_.Name(k)), k);
    } else {
        host_.PumpEvents();
    }
    std::string path = scan_.root_path;
    WalkFolder(TreeScan::kRoot, path, sFound);
}

// The scanned tree stands in for the folder and file lists: a folder's
// subfolders and files are its listing's entries of each kind, in order.
// path holds the folder's full path and is grown in place for each subfolder.
void Engine::WalkFolder(std::uint32_t folder, std::string& path, FoundList& sFound) {
    const ScannedEntry& listing = scan_.entries[folder];
    const std::uint32_t end = listing.first_child + listing.children;
    for (std::uint32_t k = listing.first_child; k < end; ++k) {
        if (!scan_.IsFolder(k))
            continue;
        host_.PumpEvents();
        const std::size_t length = path.size();
        path += '\\';
        path += scan_.Name(k);
        state_.RemovalList.push_back(path);
        removal_entries_.push_back(k);
        host_.PumpEvents();  // the inner call's own listing pass
        WalkFolder(k, path, sFound);
        path.resize(length);
    }
    bool has_files = false;
    for (std::uint32_t k = listing.first_child; k < end; ++k) {
        if (!scan_.IsFolder(k)) {
            sFound.push_back(k);
            has_files = true;
        }
    }
    if (!has_files)
        sFound.push_back(folder);
    state_.FoundCount = static_cast<std::int64_t>(sFound.size());
}

}  // namespace velmora
