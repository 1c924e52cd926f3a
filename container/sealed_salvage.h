#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "container/run.h"
#include "container/sealed/chunk_reader.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {

// The code of a refusal before anything is made: a container of another
// kind or version, a path that names nothing.
inline constexpr int kPartRefusedCode = -2903;

// What a salvage gave back.
struct Salvaged {
    // The restored root folder, ending in "\\".
    std::string restored_path;
    // How many files were restored.
    std::size_t files = 0;
    // The files left out (paths as the index writes them).
    std::vector<std::string> lost;
    // The files restored with their lost chunks' bytes as zeros.
    std::vector<ChunkReader::Holed> partial;
};

// Both restore part of the version 2 sealed container the run was asked for,
// reading files from their chunks' groups (ChunkReader), staged as decode
// restores; the container is never deleted, whatever the request's
// options say.

// Every folder and every file whose chunks all open (CheckChunks), into
// "NAME (rescatado)" (or the first free of "NAME (rescatado) (2)" ...)
// beside the container; the files left out are listed in `lost`. With
// `with_partial`, the files that lost chunks are restored too, under their
// marked names (PartialName), the lost chunks' bytes as zeros, and listed
// in `partial`; `lost` then holds none. Refuses a container whose index is
// lost.
Result<Salvaged> SalvageSealed(Run& run, const SealedKeys& keys, bool with_partial = false);

// The entries named by `paths` (as the index writes them, "/" between
// names; a folder brings everything in it) and the folders that hold them,
// into NAME (or NAME (2) ...) in `destination` (a folder's path; "" for the
// container's folder), reading only their chunks and the index. A path
// that names nothing is refused before anything is made. Gives the
// restored root folder, ending in "\\".
Result<std::string> ExtractSealed(Run& run, const SealedKeys& keys,
                                  const std::vector<std::string>& paths,
                                  const std::string& destination);

}  // namespace velmora
