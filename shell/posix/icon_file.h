#pragma once

#include <optional>
#include <string>

namespace velmora {

// One image of an icon file, when it is stored as PNG.
struct IconImage {
    int size = 0;  // width in pixels
    std::string png;
};

// The largest PNG-coded image of a Windows icon (.ico) file; none when the
// file is not an icon or holds only bitmap-coded images.
std::optional<IconImage> LargestPngImage(const std::string& ico);

}  // namespace velmora
