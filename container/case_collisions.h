#pragma once

#include <vector>

#include "base/result.h"
#include "container/container_kind.h"

namespace velmora {

// Refuses, naming both, two paths of a container's tree that differ only in
// case: two entries, two folders they lie in, or a file and a folder (each
// path compared without its final "\", by its Windows-1252 upper case). A
// system that ignores case would take them for one name and restore one
// over the other, so the refusal comes before anything is made.
Status CheckCaseCollisions(const std::vector<DecodedEntry>& entries);

}  // namespace velmora
