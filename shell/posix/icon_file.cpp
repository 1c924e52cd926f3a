#include "shell/posix/icon_file.h"

#include <cstdint>

namespace velmora {
namespace {

std::uint32_t Little(const std::string& bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    return value;
}

}  // namespace

std::optional<IconImage> LargestPngImage(const std::string& ico) {
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    if (ico.size() < kHeader || Little(ico, 0, 2) != 0 || Little(ico, 2, 2) != 1)
        return std::nullopt;
    const std::size_t count = Little(ico, 4, 2);
    if (ico.size() < kHeader + count * kEntry)
        return std::nullopt;
    std::optional<IconImage> best;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeader + i * kEntry;
        const int width =
            Little(ico, entry, 1) == 0 ? 256 : static_cast<int>(Little(ico, entry, 1));
        const std::size_t length = Little(ico, entry + 8, 4);
        const std::size_t offset = Little(ico, entry + 12, 4);
        if (offset > ico.size() || length > ico.size() - offset)
            continue;
        const std::string data = ico.substr(offset, length);
        if (data.rfind("\x89PNG\r\n\x1a\n", 0) != 0)
            continue;
        if (!best || width > best->size)
            best = IconImage{width, data};
    }
    return best;
}

}  // namespace velmora
