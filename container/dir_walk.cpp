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

std::string WithoutTrailingBackslash(const std::string& path) {
    if (path.size() > 1 && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace

void Engine::DirWalk(const std::string& sPattern, const std::string& CurrDir,
                     std::vector<std::string>& sFound) {
    static_cast<void>(sPattern);  // always "*.*", which every file name matches
    folder_list_path_ = WithoutTrailingBackslash(CurrDir);

    // Top-level pass: only the outermost call, whose CurrDir ends in "\",
    // lists names; a recursive call's listing yields just its own name.
    if (!CurrDir.empty() && CurrDir.back() == '\\') {
        for (const std::string& name : OrFail(files_.Dir(CurrDir, kMaskEverything))) {
            host_.PumpEvents();
            if (name != "..") {
                const int attributes = OrFail(files_.GetAttr(CurrDir + name));
                if (IsResetCombination(attributes))
                    walk_resets_.push_back(name == "." ? folder_list_path_ : CurrDir + name);
            }
            state_.RemovalList.push_back(CurrDir + name);
        }
    } else {
        host_.PumpEvents();
    }

    const std::vector<std::string> subfolders = scan_.folders[folder_list_path_].subfolders;
    const std::size_t n = subfolders.size();
    for (std::size_t k = 0; k <= n; ++k) {
        if (k < n) {
            host_.PumpEvents();
            const std::string item = folder_list_path_ + "\\" + subfolders[k];
            state_.RemovalList.push_back(item);
            DirWalk(sPattern, item, sFound);
        } else {
            const std::string cur = folder_list_path_;
            const std::vector<std::string>& found_files = scan_.folders[cur].files;
            if (!found_files.empty()) {
                for (const std::string& file : found_files)
                    sFound.push_back(cur + "\\" + file);
            } else {
                sFound.push_back(cur + "\\");
            }
            state_.FoundCount = static_cast<std::int64_t>(sFound.size());
            folder_list_path_ = WithoutTrailingBackslash(cur.substr(0, cur.find_last_of('\\') + 1));
        }
    }
}

}  // namespace velmora
