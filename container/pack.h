#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/container_kind.h"
#include "container/dir_walk.h"
#include "container/found_list.h"
#include "container/run.h"
#include "container/scanned_tree.h"

namespace velmora {

// Writes the container of a walked tree through a container kind's writer:
// the index in found-list order, then every file's bytes, each read through
// its folder's handle while it is provably the file the scan saw.
class Pack {
  public:
    Pack(Run& run, ScannedTree& tree, const WalkResult& walk) : run_(run), tree_(tree), walk_(walk) {}

    // Writes the container under a name of its own in its folder and gives
    // it `container_path` only once it is complete (and, unless the
    // originals stay, flushed): a run that ends early never leaves a partial
    // file under the real name. On failure the partial file is deleted, as
    // long as its name still holds the file this run created, and the
    // failure is raised.
    void WriteContainer(const std::string& container_path, ContainerWriter& writer,
                        const FoundList& sFound);

  private:
    std::uint8_t AttributesOf(std::uint32_t entry);
    void PackFile(ContainerWriter& writer, BufferedWriter& out, std::uint32_t entry,
                  const std::string& path);

    Run& run_;
    ScannedTree& tree_;
    const WalkResult& walk_;
    std::vector<int> top_level_attributes_;  // read again once; -1: not yet
};

}  // namespace velmora
