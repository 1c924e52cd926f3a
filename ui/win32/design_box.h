#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

// The controls the standard Windows classes do not draw as designed: text
// labels in a colour, link labels that underline under the mouse, picture
// boxes and the progress box. One window class draws all of them.
enum class BoxKind { kLabel, kLink, kPicture, kIcon, kProgress };

// How a picture fills its box.
enum class PictureFit { kNatural, kStretch };

struct BoxLook {
    BoxKind kind = BoxKind::kLabel;
    std::wstring text;
    HFONT font = nullptr;
    HFONT underlined_font = nullptr;  // links only
    COLORREF colour = RGB(0, 0, 0);
    HBITMAP picture = nullptr;  // kPicture: drawn from the top-left corner
    PictureFit fit = PictureFit::kNatural;
    HICON icon = nullptr;      // kIcon: stretched to the box
    HCURSOR cursor = nullptr;  // nullptr: the window's arrow
    std::function<void()> on_click;
};

// Registers the class once; `CreateBox` makes a child control of it.
HWND CreateBox(HWND parent, int id, const RECT& bounds, BoxLook look);

// Link labels: whether the text is underlined now.
bool BoxUnderlined(HWND box);
void SetBoxUnderlined(HWND box, bool underlined);

// The progress box keeps the last mark drawn as its tag ("0" at start) and
// fills tenths of its width up to the highest mark reached.
void AdvanceBoxProgress(HWND box, std::int64_t mark);
std::int64_t BoxProgressTag(HWND box);
int BoxFilledWidth(HWND box);

}  // namespace velmora
