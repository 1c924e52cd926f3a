#pragma once

#include <windows.h>

#include <functional>

namespace velmora {

// What screen readers (MSAA) get for the progress box's client area when
// they send WM_GETOBJECT: Windows' standard object for it, answering as a
// progress bar whose value is `percent()` followed by " %". (Windows'
// own progress bar proxy, CreateStdAccessibleProxy, is missing from Wine.)
// 0 when the standard object cannot be made.
LRESULT ProgressBoxObject(HWND box, WPARAM wparam, std::function<int()> percent);

}  // namespace velmora
