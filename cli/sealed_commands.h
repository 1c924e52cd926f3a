#pragma once

#include "cli/command_context.h"
#include "container/opened_container.h"

namespace velmora {

// The sealed kind's commands: seal a folder; list, verify and decode a
// sealed container whose header is read (the password is asked here).
int SealFolder(CommandContext& run);
int OpenSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header);

}  // namespace velmora
