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

// The texts of a found list's items taken in order: the folder part is built
// again only when the folder changes.
class ItemPaths {
  public:
    explicit ItemPaths(const FoundList& list) : list_(list) {}

    const std::string& Of(std::size_t i) {
        const TreeScan& scan = list_.scan();
        if (list_.IsFolderEntry(i)) {
            list_.PathInto(i, path_);
            folder_ = kNoFolder;
            return path_;
        }
        const std::uint32_t folder = scan.entries[list_[i]].parent;
        if (folder != folder_) {
            path_.assign(scan.root_path);
            scan.AppendRelativePath(folder, path_);
            folder_ = folder;
            folder_length_ = path_.size();
        }
        path_.resize(folder_length_);
        path_ += '\\';
        path_ += scan.Name(list_[i]);
        return path_;
    }

  private:
    static constexpr std::uint32_t kNoFolder = 0xFFFFFFFF;
    const FoundList& list_;
    std::string path_;
    std::uint32_t folder_ = kNoFolder;
    std::size_t folder_length_ = 0;
};

}  // namespace velmora
