#pragma once

#include <optional>
#include <string>
#include <unordered_map>

#include "base/messages.h"
#include "container/sealed/sealed_entry.h"

namespace velmora {

// The rules every index entry follows, checked in index order by the writer
// (nothing it writes is refused on reading) and by the reader. What a
// destination system cannot hold (reserved names on Windows ...) is the
// restore's own check, not part of the format.
class SealedTreeCheck {
  public:
    // Why the entry cannot come next, or nothing; an entry admitted is
    // remembered (as a parent for later entries, against duplicates).
    std::optional<Msg> Admit(const SealedEntry& entry);

  private:
    // Every path admitted, and whether it is a folder.
    std::unordered_map<std::string, bool> admitted_;
};

}  // namespace velmora
