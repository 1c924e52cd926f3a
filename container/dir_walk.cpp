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
    // Top-level pass: only the outermost call, whose CurrDir ends in "\",
    // lists names; a recursive call's listing yields just its own name.
    if (!CurrDir.empty() && CurrDir.back() == '\\') {
        for (const std::string& name : OrFail(files_.Dir(CurrDir, kMaskEverything))) {
            host_.PumpEvents();
            if (name != "..") {
                const int attributes = OrFail(files_.GetAttr(CurrDir + name));
                if (IsResetCombination(attributes))
                    walk_resets_.push_back(name == "." ? scan_.root_path : CurrDir + name);
            }
            state_.RemovalList.push_back(CurrDir + name);
        }
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
