#pragma once

#include <string>

#include "cli/command_context.h"
#include "container/opened_container.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {

// `velmora-cli verify` of a version 2 container: every part checked
// (CheckChunks); sound (kExitOk), damaged but repairable (kExitRepairable,
// the damaged parts named) or beyond repair (kExitRefused, the files that
// lost chunks touch named).
int VerifyChunks(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
                 const SealedKeys& keys);

// `velmora-cli repair`: a sound version 2 container is left as it is; a
// repairable one, or any version 1 container, is written again as a sound
// version 2 container under its name (SealedRepair).
// `velmora-cli decode --salvage` (SalvageSealed): prints the restored folder,
// then the files that could not be salvaged; with --salvage-partial, the
// files restored with holes instead, each with the bytes it lost.
int SalvageChunks(CommandContext& run, const SealedKeys& keys);

// `velmora-cli extract` (ExtractSealed): prints the restored folder.
int ExtractChunks(CommandContext& run, const SealedKeys& keys);

int RepairSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
                 const SealedKeys& keys, const std::string& password);

}  // namespace velmora
