#include "ui/win32/design_box.h"

#include <memory>

#include "ui/win32/accessible_object.h"

namespace velmora {
namespace {

constexpr wchar_t kClassName[] = L"VelmoraBox";
struct BoxState {
    BoxLook look;
    LinkHover hover;
    ProgressMarks marks;
    bool pressed = false;
};

BoxState* StateOf(HWND box) {
    return reinterpret_cast<BoxState*>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

// A stretched picture fills its box; any other keeps its designed size,
// scaled with the screen's DPI, and is cut at the box's edge.
void PaintPicture(HDC dc, const RECT& area, const BoxLook& look) {
    BITMAP info{};
    GetObjectW(look.picture, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, look.picture);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (look.fit != BoxFit::kStretch) {
        width = MulDiv(info.bmWidth, look.dpi, 96);
        height = MulDiv(info.bmHeight, look.dpi, 96);
    }
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

void PaintProgress(HDC dc, const RECT& area, const BoxState& state) {
    RECT bar = area;
    bar.right = area.left + state.marks.FilledWidth(area.right - area.left);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
}

void PaintText(HDC dc, RECT area, const BoxState& state) {
    const BoxLook& look = state.look;
    HFONT font =
        state.hover.underlined() && look.underlined_font ? look.underlined_font : look.font;
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.colour);
    DrawTextW(dc, look.text.c_str(), static_cast<int>(look.text.size()), &area,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
}

void Paint(HWND box, BoxState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(box, &paint);
    RECT area;
    GetClientRect(box, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    switch (state.look.kind) {
        case BoxKind::kPicture:
            if (state.look.picture)
                PaintPicture(dc, area, state.look);
            break;
        case BoxKind::kIcon:
            DrawIconEx(dc, 0, 0, state.look.icon, area.right, area.bottom, 0, nullptr, DI_NORMAL);
            break;
        case BoxKind::kProgress:
            PaintProgress(dc, area, state);
            break;
        case BoxKind::kLabel:
        case BoxKind::kLink:
            PaintText(dc, area, state);
            break;
    }
    if (state.look.pressable && GetFocus() == box)
        DrawFocusRect(dc, &area);
    EndPaint(box, &paint);
}

LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    BoxState* state = StateOf(box);
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
            SetWindowLongPtrW(box, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_NCDESTROY:
            delete state;
            SetWindowLongPtrW(box, GWLP_USERDATA, 0);
            break;
        case WM_PAINT:
            if (state) {
                Paint(box, *state);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETOBJECT:
            if (state && state->look.kind == BoxKind::kProgress &&
                static_cast<LONG>(lparam) == static_cast<LONG>(OBJID_CLIENT))
                return ProgressBoxObject(box, wparam, [state] { return state->marks.Percent(); });
            break;
        case WM_GETDLGCODE:
            // Space's character is the box's, not a mnemonic the dialog
            // manager would look for.
            if (state && state->look.pressable)
                return DLGC_WANTCHARS;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(box, nullptr, TRUE);
            break;
        case WM_KEYDOWN:
            if (state && state->look.pressable && wparam == VK_SPACE && !(lparam & (1 << 30)) &&
                state->look.on_click) {
                state->look.on_click();
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (state && state->look.cursor) {
                SetCursor(state->look.cursor);
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            if (state && state->look.kind == BoxKind::kLink && state->hover.MouseOverLabel())
                InvalidateRect(box, nullptr, TRUE);
            // Taken here: the window's own handler takes the underline off when
            // the mouse moves over its background.
            return 0;
        case WM_LBUTTONDOWN:
            if (state)
                state->pressed = true;
            return 0;
        case WM_LBUTTONUP:
            if (state && state->pressed) {
                state->pressed = false;
                RECT area;
                GetClientRect(box, &area);
                const POINT at{static_cast<short>(LOWORD(lparam)),
                               static_cast<short>(HIWORD(lparam))};
                if (PtInRect(&area, at) && state->look.on_click)
                    state->look.on_click();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(box, message, wparam, lparam);
}

void RegisterBoxClass() {
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = BoxProc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.lpszClassName = kClassName;
        return RegisterClassExW(&type) != 0;
    }();
    static_cast<void>(registered);
}

}  // namespace

HWND CreateBox(HWND parent, int id, const RECT& bounds, BoxLook look) {
    RegisterBoxClass();
    const DWORD extended = look.kind == BoxKind::kProgress ? WS_EX_CLIENTEDGE : 0;
    const DWORD tab_stop = look.pressable ? WS_TABSTOP : 0;
    auto state = std::make_unique<BoxState>();
    state->look = std::move(look);
    HWND box = CreateWindowExW(extended, kClassName, state->look.name.c_str(),
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | tab_stop, bounds.left,
                               bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), state.get());
    if (box)
        state.release();  // owned by the window from WM_NCCREATE on
    return box;
}

void MouseOverBackground(HWND link) {
    BoxState* state = StateOf(link);
    if (state && state->hover.MouseOverBackground())
        InvalidateRect(link, nullptr, TRUE);
}

void SetBoxText(HWND box, const std::wstring& text) {
    BoxState* state = StateOf(box);
    if (!state)
        return;
    state->look.text = text;
    SetWindowTextW(box, text.c_str());
    InvalidateRect(box, nullptr, TRUE);
}

void AdvanceBoxProgress(HWND box, std::int64_t mark) {
    BoxState* state = StateOf(box);
    if (!state)
        return;
    const int before = state->marks.Percent();
    state->marks.FillTo(mark);
    InvalidateRect(box, nullptr, TRUE);
    if (state->marks.Percent() != before)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, box, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace velmora
