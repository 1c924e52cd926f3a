#pragma once

#include <string>

namespace velmora {

// The title a window shows for its caption. An empty caption (the idle main
// window's) is shown as a blank title: without a title, window managers put
// a name of their own in the frame ("Unnamed Window", or the program's
// name), which the design's empty caption never shows.
inline std::string ShownCaption(const std::string& caption) {
    return caption.empty() ? std::string(" ") : caption;
}

}  // namespace velmora
