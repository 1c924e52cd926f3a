#include "container/conversion.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

#include "base/cp1252.h"
#include "container/path_helpers.h"
#include "platform/tree_ops.h"

namespace velmora {
namespace {

constexpr std::int64_t kNanoseconds = 1000000000;

std::uint16_t ModeOf(std::uint8_t attributes, bool folder) {
    const bool read_only = (attributes & kReadOnly) != 0;
    if (folder)
        return read_only ? 0555 : 0755;
    return read_only ? 0444 : 0644;
}

}  // namespace

Result<std::vector<SealedEntry>> ConvertedIndex(const RestoreIndex& legacy,
                                                std::int64_t modified_ns) {
    std::int64_t seconds = modified_ns / kNanoseconds;
    if (modified_ns % kNanoseconds < 0)
        --seconds;
    const auto nanoseconds = static_cast<std::uint32_t>(modified_ns - seconds * kNanoseconds);
    auto entry = [&](std::string_view name, bool folder, std::int64_t size,
                     std::uint8_t attributes) -> Result<SealedEntry> {
        // "\A\b" is stored as "A/b", a folder's "\A\" as "A", the root's "\" as "".
        std::string_view path = name.substr(1);
        if (folder && !path.empty())
            path.remove_suffix(1);
        Result<std::string> utf8 = Cp1252ToUtf8(path);
        if (!utf8)
            return utf8.error();
        std::replace(utf8->begin(), utf8->end(), '\\', '/');
        return SealedEntry{.path = std::move(utf8).value(),
                           .folder = folder,
                           .size = folder ? 0 : static_cast<std::uint64_t>(size),
                           .mtime_s = seconds,
                           .mtime_ns = nanoseconds,
                           .attributes = attributes,
                           .mode = ModeOf(attributes, folder)};
    };

    // Each folder's attributes, from the first entry that lies in it (or is
    // it); the format gives every entry of one folder the same.
    std::map<std::string_view, std::uint8_t> folder_attributes;
    for (const DecodedEntry& legacy_entry : legacy.entries)
        folder_attributes.emplace(recortar(legacy_entry.name), legacy_entry.parent_attributes);

    std::vector<SealedEntry> index;
    std::set<std::string_view> made = {"\\"};
    Result<SealedEntry> root = entry("\\", true, 0, legacy.folder_attributes);
    if (!root)
        return root.error();
    index.push_back(std::move(root).value());
    auto add = [&](std::string_view name, bool folder, std::int64_t size,
                   std::uint8_t attributes) -> Status {
        Result<SealedEntry> made_entry = entry(name, folder, size, attributes);
        if (!made_entry)
            return made_entry.error();
        index.push_back(std::move(made_entry).value());
        return Status::Ok();
    };
    for (const DecodedEntry& legacy_entry : legacy.entries) {
        const std::string_view name = legacy_entry.name;
        const bool folder = legacy_entry.size < 0;
        // The folders on the way, outermost first: "\A\", then "\A\B\".
        for (std::size_t end = name.find('\\', 1); end != std::string_view::npos;
             end = name.find('\\', end + 1)) {
            const std::string_view part = name.substr(0, end + 1);
            if (!made.insert(part).second)
                continue;
            const auto known = folder_attributes.find(part);
            const std::uint8_t attributes =
                known != folder_attributes.end() ? known->second : std::uint8_t{kFolder};
            if (Status added = add(part, true, 0, attributes); !added)
                return added.error();
        }
        if (!folder)
            if (Status added = add(name, false, legacy_entry.size, legacy_entry.attributes); !added)
                return added.error();
    }
    return index;
}

}  // namespace velmora
