#pragma once

#include <cstdint>
#include <vector>

#include "base/result.h"
#include "container/container_kind.h"
#include "container/sealed/sealed_entry.h"

namespace velmora {

// The index of the sealed container a legacy container becomes, from the
// legacy index read with its names as stored (Windows-1252, "\A\b" form):
// - each name converted to UTF-8 with "/" between its parts;
// - the sealed folder first, then the legacy entries in their order, each
//   folder it lies in made an entry of its own just before the first entry
//   inside it (the legacy kind stores a folder only when it holds no file),
//   so the files keep the order of the legacy data area;
// - attributes as stored: a file's own, a folder's from the entries that
//   lie in it (an empty folder's from its own entry), the sealed folder's
//   from the header;
// - permission bits from the read-only attribute (0444 or 0644 for a file,
//   0555 or 0755 for a folder), as the legacy kind keeps none;
// - every entry the time `modified_ns`, as the legacy kind keeps no times.
Result<std::vector<SealedEntry>> ConvertedIndex(const RestoreIndex& legacy,
                                                std::int64_t modified_ns);

}  // namespace velmora
