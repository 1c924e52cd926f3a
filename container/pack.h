#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "container/container_kind.h"
#include "container/dir_walk.h"
#include "container/found_list.h"
#include "container/run.h"
#include "container/scanned_tree.h"

namespace velmora {

// Deletes the file `name` of the folder when no run holds its lock (a run
// writes its unfinished file locked): what a killed run left. True when
// it was deleted.
bool RemoveIfAbandoned(TreeOps& files, int folder, const std::string& name);

// Writes the container of a walked tree through a container kind's writer:
// the index in found-list order, then every file's bytes, each read through
// its folder's handle while it is provably the file the scan saw.
class Pack {
  public:
    // Sees every byte read from the originals, in order, before the kind
    // codes it.
    using SeeBytes = std::function<void(const std::uint8_t* data, std::size_t length)>;
    // Checks the complete, flushed container, read back from the disk
    // through the handle it is given.
    using CheckWritten = std::function<Status(int container_file)>;

    Pack(Run& run, ScannedTree& tree, const WalkResult& walk)
        : run_(run), tree_(tree), walk_(walk) {}

    // Writes the container under a name of its own in its folder and gives
    // it `container_path` only once it is complete (and, unless the
    // originals stay, flushed and checked): a run that ends early never
    // leaves a partial file under the real name. On failure the partial
    // file is deleted, as long as its name still holds the file this run
    // created, and the failure is raised.
    void WriteContainer(const std::string& container_path, ContainerWriter& writer,
                        const FoundList& sFound, const SeeBytes& see = {},
                        const CheckWritten& check = {});

  private:
    std::uint8_t AttributesOf(std::uint32_t entry);
    // Creates the partial file beside the container's name, under the
    // first free numbered name, removing on the way a partial file whose
    // writer has gone; `partial` gets the name used.
    int CreatePartial(int folder, const std::string& target, const std::string& name,
                      std::string& partial);
    bool RemoveAbandonedPartial(int folder, const std::string& partial,
                                const std::string& shown_path);
    void WriteEntries(ContainerWriter& writer, BufferedWriter& out, const FoundList& sFound);
    void PackFile(ContainerWriter& writer, BufferedWriter& out, std::uint32_t entry,
                  const std::string& path, const SeeBytes& see);

    Run& run_;
    ScannedTree& tree_;
    const WalkResult& walk_;
    std::vector<int> top_level_attributes_;  // read again once; -1: not yet
};

}  // namespace velmora
