#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/main_window.h"

namespace velmora {

// The controls the standard Windows classes do not draw as designed: text
// labels in a colour, link labels that underline under the mouse, picture
// boxes and the progress box. One window class draws all of them. A box's
// window text is its accessible name, which screen readers read (MSAA); the
// progress box answers them as a progress bar (accessible_object.h); a
// pressable box is reached with Tab, shows a focus rectangle while focused,
// and Space presses it.
enum class BoxKind { kLabel, kLink, kPicture, kIcon, kProgress };

// How a picture fills its box.
enum class BoxFit { kNatural, kStretch };

struct BoxLook {
    BoxKind kind = BoxKind::kLabel;
    std::wstring text;
    std::wstring name;       // the window text: the accessible name
    bool pressable = false;  // reached with Tab; Space presses it as a click does
    HFONT font = nullptr;
    HFONT underlined_font = nullptr;  // links only
    COLORREF colour = RGB(0, 0, 0);
    HBITMAP picture = nullptr;  // kPicture: drawn from the top-left corner
    BoxFit fit = BoxFit::kNatural;
    int dpi = 96;              // the screen's: a picture's designed size is at 96
    HICON icon = nullptr;      // kIcon: stretched to the box
    HCURSOR cursor = nullptr;  // nullptr: the window's arrow
    std::function<void()> on_click;
};

// Registers the class once; `CreateBox` makes a child control of it.
HWND CreateBox(HWND parent, int id, const RECT& bounds, BoxLook look);

// Link labels: the mouse moved over the window's background.
void MouseOverBackground(HWND link);

// A label's text, drawn again.
void SetBoxText(HWND box, const std::wstring& text);

// The progress box: fills from the mark in its tag to `mark`.
void AdvanceBoxProgress(HWND box, std::int64_t mark);

}  // namespace velmora
