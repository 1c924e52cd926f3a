#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/result.h"

namespace velmora {

// One entry of a container as the decoder uses it.
struct DecodedEntry {
    std::string name;       // the stored relative path, decoded and upper-cased
    std::int32_t size = 0;  // -1 for a folder entry
    std::uint8_t parent_attributes = 0;
};

// Decodes a stored name field with the key. The field is measured up to its
// last non-space byte (leading spaces belong to the name); a folder entry
// whose name then lacks its final "\" is extended over the trailing spaces
// until it ends in one. The result is upper-cased.
std::string DecodeStoredName(const std::string& field, const std::string& key, bool folder);

// Refuses names that could write outside the restored folder or could not be
// restored as one tree: every name begins with "\", has no empty, "." or
// ".." component and no ":", "/", control character or code Windows-1252
// leaves undefined; folder entries end in "\" and file entries do not; no
// name appears twice; no file stands where a folder must be; every folder's
// parent is itself in the tree; and at least one entry lies directly in the
// root. Entries are taken one at a time, as they are read, so that a
// damaged index is refused at its first bad entry.
class DecodedEntryCheck {
  public:
    Status Add(const DecodedEntry& entry);
    // The checks that need every entry.
    Status Finish() const;

  private:
    std::set<std::string> names_;
    std::set<std::string> folders_ = {"\\"};
    bool has_root_entry_ = false;
};

Status CheckDecodedEntries(const std::vector<DecodedEntry>& entries);

// A stored name for a message: control bytes escaped.
std::string ShownName(const std::string& name);

}  // namespace velmora
