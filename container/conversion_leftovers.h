#pragma once

#include "container/run.h"

namespace velmora {

// What a killed conversion (conversion.h) left beside its container, dealt
// with by the next run on that container, each said in one line.

// Before the container is opened: no NAME.zol, but NAME.zol.antiguo and a
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
