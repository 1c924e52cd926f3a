#pragma once

#include "cli/command_context.h"

namespace velmora {

// convert: a legacy container turned into a sealed one under the same name.
// The legacy key first (its password asked, or found without it with
// --recover), then the new password; the container's path may hold any
// character.
int ConvertContainer(CommandContext& run);

}  // namespace velmora
