#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/cp1252.h"

namespace velmora {

// Sorts entries (anything with a `name`) in the order of every listing:
// names compared by their Windows-1252 upper case, byte by byte; names equal
// that way by their raw bytes. Each name is upper-cased once rather than at
// every comparison.
template <typename Entry>
void SortByName(std::vector<Entry>& entries);

}  // namespace velmora

namespace velmora {

template <typename Entry>
void SortByName(std::vector<Entry>& entries) {
    // Every name's upper case back to back in one buffer, and the order
    // sorted as numbers: no text is copied per comparison or per entry.
    std::string upper;
    std::vector<std::size_t> starts;
    starts.reserve(entries.size() + 1);
    for (const Entry& entry : entries) {
        starts.push_back(upper.size());
        for (const char c : entry.name)
            upper.push_back(static_cast<char>(UpperCp1252(static_cast<std::uint8_t>(c))));
    }
    starts.push_back(upper.size());
    const std::string_view all = upper;
    auto key = [&](std::size_t i) { return all.substr(starts[i], starts[i + 1] - starts[i]); };
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (const int c = key(a).compare(key(b)); c != 0)
            return c < 0;
        return entries[a].name < entries[b].name;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

}  // namespace velmora
