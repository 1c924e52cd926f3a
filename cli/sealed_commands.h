#pragma once

#include "cli/command_context.h"
#include "container/opened_container.h"

namespace velmora {

// The sealed kind's commands: seal a folder; list, verify and decode a
// sealed container whose header is read (the password is asked here).
int SealFolder(CommandContext& run);
int OpenSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header);

// A new password, typed twice on a terminal (once on standard input), until
// the sealed kind's rules take it; the empty error when a refusal was told.
Result<std::string> AskNewPassword(CommandContext& run);

}  // namespace velmora
