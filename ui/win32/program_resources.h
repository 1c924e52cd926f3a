#pragma once

#include <windows.h>

#include "app/window_layouts.h"

namespace velmora {

// What the windows load from the program's own resources (velmora.rc):
// the module, icons at a size, pictures, and the pointers of the layout.
HINSTANCE Program();
HICON LoadIconSized(Resource icon, int size);
// Whether a layout's picture is one of the icons (drawn as an icon, not a
// bitmap).
bool IsIcon(Resource picture);
// nullptr for the default pointer.
HCURSOR PointerCursor(Pointer pointer);

}  // namespace velmora
