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

// Restores part of the version 2 sealed container run.state.FolderPath,
// reading files from their chunks' groups (ChunkReader), staged as decode
// restores; the container is never deleted (run.options.keep_container must
// be set). The restored folder's path is left in run.state.RestoredPath.

// Every folder and every file whose chunks all open (CheckChunks), into
// "NAME (rescatado)" (or the first free of "NAME (rescatado) (2)" ...)
// beside the container; `lost` gets the paths of the files left out, and
// `rescued` (when given) how many files were restored. With `partial`, the
// files that lost chunks are restored too, under their marked names
// (PartialName), the lost chunks' bytes as zeros, and listed there; `lost`
// then holds none. Refuses a container whose index is lost.
Status SalvageSealed(Run& run, const SealedKeys& keys, std::vector<std::string>& lost,
                     std::size_t* rescued = nullptr,
                     std::vector<ChunkReader::Holed>* partial = nullptr);

// The entries named by `paths` (as the index writes them, "/" between
// names; a folder brings everything in it) and the folders that hold them,
// into NAME (or NAME (2) ...) in `destination` (a folder's path; "" for the
// container's folder), reading only their chunks and the index. A path
// that names nothing is refused before anything is made.
Status ExtractSealed(Run& run, const SealedKeys& keys, const std::vector<std::string>& paths,
                     const std::string& destination);

}  // namespace velmora
