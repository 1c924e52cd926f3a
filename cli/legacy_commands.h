#pragma once

#include "cli/command_context.h"
#include "container/opened_container.h"

namespace velmora {

// The legacy kind's commands: encode a folder; list, verify, decode and
// recover a legacy container whose header is read (the password is asked
// here, or the key found without it).
int EncodeFolder(CommandContext& run);
int OpenLegacy(CommandContext& run, OpenedContainer& container, const ContainerHeader& header);

// The key from a typed password, asked until the dialog's rules accept it
// (three times on a terminal); the empty error when a refusal was told.
Result<std::string> AskKey(CommandContext& run, DialogMode mode, const std::string& stored_check);
// The key found from the container alone, and why the password was not
// needed said; the error says why it cannot be found.
Result<std::string> FindKeyWithoutPassword(CommandContext& run, OpenedContainer& container,
                                           const ContainerHeader& header);

}  // namespace velmora
