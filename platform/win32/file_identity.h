#pragma once

#include <cstdint>

namespace velmora {

// What identifies a file beyond its name.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::int64_t size = 0;
    std::uint64_t creation_time = 0;
    std::uint64_t links = 0;
    bool operator==(const FileIdentity&) const = default;
};

}  // namespace velmora
