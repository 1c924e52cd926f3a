#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "cipher/cipher_tables.h"
#include "container/container_kind.h"

namespace velmora {

// Decodes a stored name field with the key, giving the name with the case it
// was stored with. The field is measured up to its last non-space byte
// (leading spaces belong to the name); a folder entry whose name then lacks
// its final "\" is extended over the trailing spaces until it ends in one.
std::string DecodeStoredNameAsStored(const CipherTables& tables, const std::string& field,
                                     const std::string& key, bool folder);
// The same name upper-cased, as the program restores it.
std::string DecodeStoredName(const CipherTables& tables, const std::string& field,
                             const std::string& key, bool folder);

// Refuses names that could write outside the restored folder or could not be
// restored as one tree: every name begins with "\", has no empty, "." or
// ".." component and no ":", "/", control character or code Windows-1252
// leaves undefined; folder entries end in "\" and file entries do not; no
// name appears twice; no file stands where a folder must be; every folder's
// parent is itself in the tree; and at least one entry lies directly in the
// root. Entries are taken one at a time, as they are read, so that a
// damaged index is refused at its first bad entry. The names stay in the
// caller's list; the check keeps only entry numbers, so it costs a few
// dozen bytes per entry whatever the names' lengths.
class DecodedEntryCheck {
  public:
    explicit DecodedEntryCheck(const std::vector<DecodedEntry>& entries)
        : names_(Order{&entries}), folders_(Order{&entries}), entries_(entries) {}
    // Checks entries[index], once it is in the list.
    Status Add(std::size_t index);
    // The checks that need every entry.
    Status Finish() const;

  private:
    // A folder part: the first `length` characters of an entry's name.
    struct Part {
        std::size_t index;
        std::size_t length;
    };
    // Names, parts and plain texts compared as texts.
    struct Order {
        using is_transparent = void;
        const std::vector<DecodedEntry>* entries;
        std::string_view Text(std::size_t index) const { return (*entries)[index].name; }
        std::string_view Text(const Part& part) const {
            return std::string_view((*entries)[part.index].name).substr(0, part.length);
        }
        std::string_view Text(std::string_view text) const { return text; }
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            return Text(a) < Text(b);
        }
    };

    std::set<std::size_t, Order> names_;
    std::set<Part, Order> folders_;  // every folder part but the root's
    const std::vector<DecodedEntry>& entries_;
    bool has_root_entry_ = false;
};

Status CheckDecodedEntries(const std::vector<DecodedEntry>& entries);

}  // namespace velmora
