#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cipher/cp1252_case.h"

namespace velmora {

// The order of every listing: names compared by their Windows-1252 upper
// case, byte by byte; names equal that way are ordered by their raw bytes.
bool NameLess(std::string_view a, std::string_view b);

// Sorts entries (anything with a `name`) in that order, upper-casing each
// name once rather than at every comparison.
template <typename Entry>
void SortByName(std::vector<Entry>& entries);

}  // namespace velmora

namespace velmora {

template <typename Entry>
void SortByName(std::vector<Entry>& entries) {
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys.emplace_back(ToUpperCp1252(entries[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return entries[a.second].name < entries[b.second].name;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(entries[key.second]));
    entries = std::move(sorted);
}

}  // namespace velmora
