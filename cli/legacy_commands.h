#pragma once

#include "cli/command_context.h"
#include "container/opened_container.h"

namespace velmora {

// The legacy kind's commands: encode a folder; list, verify and decode a
// legacy container whose header is read (the password is asked here).
int EncodeFolder(CommandContext& run);
int OpenLegacy(CommandContext& run, OpenedContainer& container, const ContainerHeader& header);

}  // namespace velmora
