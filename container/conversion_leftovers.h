#pragma once

#include <string>

#include "base/messages.h"
#include "container/run.h"

namespace velmora {

// What a killed conversion (conversion.h) left beside its container, dealt
// with by the next run on that container, each said in one line.

// Before the container is opened: no NAME.zol, but `set_aside` beside it
// and an `unfinished_name` no run holds (a run killed between the two
// renames that put its new file in place): `set_aside` gets the
// container's name back, never replacing anything, and the unfinished file
// is removed; `told` (container, removed file) says so.
void GiveBackTheSetAsideName(Run& run, const std::string& set_aside,
                             const std::string& unfinished_name, Msg told);

// The same for a conversion: no NAME.zol, but NAME.zol.antiguo and a
// NAME.zol.convirtiendo no run holds (killed between the two renames): the
// legacy container gets its name back, never replacing anything, and the
// sealed one is removed.
void GiveBackTheLegacyName(Run& run);

// Beside the sealed NAME.zol this run holds, through its folder's handle:
// a NAME.zol.antiguo no run holds, still a legacy container or already
// partly overwritten (killed in the last step), is overwritten with bytes
// of 255 and deleted while its name still holds it.
void DestroyAbandonedLegacy(Run& run, int folder);

}  // namespace velmora
