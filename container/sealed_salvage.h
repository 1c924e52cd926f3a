#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "container/run.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {

// Salvages a version 2 sealed container beyond repair (or any other): every
// folder and every file whose chunks all open (CheckChunks) is restored,
// staged as decode restores, into "NAME (rescatado)" (or the first free of
// "NAME (rescatado) (2)" ...) beside it; the container is never deleted.
// `lost` gets the paths of the files left out. The restored folder's path
// is left in run.state.RestoredPath. Refuses a container whose index is
// lost. run.options.keep_container must be set.
Status SalvageSealed(Run& run, const SealedKeys& keys, std::vector<std::string>& lost);

}  // namespace velmora
