#pragma once

#include <string>

#include "container/host.h"

namespace velmora {

// The terminal's progress line: the caption, a bar, the share done and the
// entries done of all. Entries count as well as bytes (an entry weighs as
// much as kEntryBytes of data), so a restore of many empty files moves too;
// the share reaches 100 % only when everything is done.
constexpr std::int64_t kEntryBytes = 64 << 10;
int PercentDone(const WorkCount& done);
std::string ProgressLine(const std::string& caption, const WorkCount& done);

}  // namespace velmora
