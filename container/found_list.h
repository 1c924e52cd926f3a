#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/tree_scan.h"

namespace velmora {

// The walk's found list: every file, and every folder that holds no file, in
// walk order. Items are entries of the scanned tree; an item's text (its full
// path, ending in "\" for a folder entry) is built only when asked for.
class FoundList {
  public:
    explicit FoundList(const TreeScan& scan) : scan_(&scan) {}

    void push_back(std::uint32_t entry) { items_.push_back(entry); }
    std::size_t size() const { return items_.size(); }
    std::uint32_t operator[](std::size_t i) const { return items_[i]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    bool IsFolderEntry(std::size_t i) const { return scan_->IsFolder(items_[i]); }
    const TreeScan& scan() const { return *scan_; }

    // Replaces out with item i's text, reusing out's storage.
    void PathInto(std::size_t i, std::string& out) const {
        out.assign(scan_->root_path);
        scan_->AppendRelativePath(items_[i], out);
        if (IsFolderEntry(i))
            out += '\\';
    }
    std::string Path(std::size_t i) const {
        std::string path;
        PathInto(i, path);
        return path;
    }
    std::size_t PathLength(std::size_t i) const {
        return scan_->root_path.size() + scan_->RelativePathLength(items_[i]) +
               (IsFolderEntry(i) ? 1 : 0);
    }

  private:
    const TreeScan* scan_;
    std::vector<std::uint32_t> items_;
};

}  // namespace velmora
