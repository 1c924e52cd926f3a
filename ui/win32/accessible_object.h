#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmora {

// What screen readers (MSAA) get for a window's object (OBJID_CLIENT or
// OBJID_WINDOW) when they send WM_GETOBJECT: Windows' standard object for
// it, but for the answers given here. (Windows' own progress bar proxy,
// CreateStdAccessibleProxy, is missing from Wine.)
struct AccessibleAnswers {
    long role = 0;                       // 0: the standard object's
    std::function<std::wstring()> name;  // empty: the standard object's
    std::function<std::wstring()> value;
};

// The LRESULT WM_GETOBJECT returns; 0 when the standard object cannot be
// made.
LRESULT AnsweredObject(HWND window, LONG object, WPARAM wparam, AccessibleAnswers answers);

// The progress box's client area: a progress bar whose value is
// `percent()` followed by " %".
LRESULT ProgressBoxObject(HWND box, WPARAM wparam, std::function<int()> percent);

}  // namespace velmora
