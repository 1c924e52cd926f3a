#include "ui/win32/design_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora {
namespace {

constexpr wchar_t kClassName[] = L"VelmoraWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr int kFirstId = 100;

void RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = procedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        type.lpszClassName = kClassName;
        return RegisterClassExW(&type) != 0;
    }();
    static_cast<void>(registered);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HICON LoadIconSized(int id, int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

DesignWindow::DesignWindow(const WindowDesign& design) : dpi_(ScreenDpi()) {
    RegisterWindowClass(&DesignWindow::Procedure);
    RECT frame{0, 0, Scale(design.client_width), Scale(design.client_height)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    window_ = CreateWindowExW(0, kClassName, design.caption.c_str(), kStyle, left, top, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    HICON big = LoadIconSized(design.icon, GetSystemMetrics(SM_CXICON));
    HICON small = LoadIconSized(design.icon, GetSystemMetrics(SM_CXSMICON));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                window_, nullptr, GetModuleHandleW(nullptr), nullptr);

    // Children are created in tab order, so the dialog manager's Tab key
    // follows it; controls outside the tab order come last.
    std::vector<const ControlDesign*> ordered;
    for (const ControlDesign& control : design.controls)
        ordered.push_back(&control);
    std::stable_sort(ordered.begin(), ordered.end(), [](auto* a, auto* b) {
        const int first = a->tab < 0 ? 1 << 20 : a->tab;
        const int second = b->tab < 0 ? 1 << 20 : b->tab;
        return first < second;
    });
    int id = kFirstId;
    for (const ControlDesign* control : ordered)
        controls_.push_back({control->name, control->index, MakeControl(*control, id++)});
}

DesignWindow::~DesignWindow() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    for (HFONT font : fonts_)
        DeleteObject(font);
}

int DesignWindow::Scale(int pixels) const {
    return MulDiv(pixels, dpi_, 96);
}

HFONT DesignWindow::MakeFont(const ControlDesign& design, bool underlined) {
    const int height = -static_cast<int>(std::lround(design.points * dpi_ / 72.0));
    HFONT font = CreateFontW(height, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE,
                             underlined ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, design.font);
    fonts_.push_back(font);
    return font;
}

HWND DesignWindow::MakeControl(const ControlDesign& design, int id) {
    const RECT bounds{Scale(design.left), Scale(design.top), Scale(design.left + design.width),
                      Scale(design.top + design.height)};
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    HINSTANCE program = GetModuleHandleW(nullptr);
    HMENU control_id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    const DWORD tab_stop = design.tab >= 0 ? WS_TABSTOP : 0;
    const DWORD visible = design.visible ? WS_VISIBLE : 0;
    HWND control = nullptr;

    switch (design.kind) {
    case ControlKind::kTextBox:
        control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                  WS_CHILD | visible | tab_stop | ES_PASSWORD | ES_AUTOHSCROLL,
                                  bounds.left, bounds.top, width, height, window_, control_id,
                                  program, nullptr);
        SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
        break;
    case ControlKind::kButton:
        control = CreateWindowExW(0, L"BUTTON", design.caption.c_str(),
                                  WS_CHILD | visible | tab_stop | BS_PUSHBUTTON, bounds.left,
                                  bounds.top, width, height, window_, control_id, program, nullptr);
        break;
    case ControlKind::kList:
        control = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | visible | tab_stop,
                                  bounds.left, bounds.top, width, height, window_, control_id,
                                  program, nullptr);
        break;
    default: {
        BoxLook look;
        look.text = design.caption;
        look.colour = design.colour;
        look.fit = design.fit;
        if (design.kind == ControlKind::kProgress) {
            look.kind = BoxKind::kProgress;
        } else if (design.kind == ControlKind::kLink) {
            look.kind = BoxKind::kLink;
        } else if (design.kind == ControlKind::kLabel) {
            look.kind = BoxKind::kLabel;
        } else if (design.fit == PictureFit::kStretch && design.picture != 0 &&
                   FindResourceW(program, MAKEINTRESOURCEW(design.picture), RT_GROUP_ICON)) {
            look.kind = BoxKind::kIcon;
            look.icon = LoadIconSized(design.picture, 48);
        } else {
            look.kind = BoxKind::kPicture;
            if (design.picture != 0)
                look.picture = static_cast<HBITMAP>(LoadImageW(
                    program, MAKEINTRESOURCEW(design.picture), IMAGE_BITMAP, 0, 0, 0));
        }
        if (design.font) {
            look.font = MakeFont(design, false);
            if (look.kind == BoxKind::kLink)
                look.underlined_font = MakeFont(design, true);
        }
        if (design.cursor)
            look.cursor = design.system_cursor ? LoadCursorW(nullptr, design.cursor)
                                               : LoadCursorW(program, design.cursor);
        look.on_click = [this, id] { BoxClicked(GetDlgItem(window_, id)); };
        control = CreateBox(window_, id, bounds, std::move(look));
        if (!design.visible)
            ShowWindow(control, SW_HIDE);
        if (design.kind == ControlKind::kLink)
            links_.push_back(control);
        break;
    }
    }
    if (design.font && (design.kind == ControlKind::kTextBox || design.kind == ControlKind::kButton))
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(MakeFont(design, false)), FALSE);
    else if (design.kind == ControlKind::kTextBox || design.kind == ControlKind::kButton ||
             design.kind == ControlKind::kList)
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    if (!design.tooltip.empty()) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(design.tooltip.c_str());
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return control;
}

HWND DesignWindow::Control(const char* name, int index) const {
    for (const Made& entry : controls_)
        if (std::strcmp(entry.name, name) == 0 && entry.index == index)
            return entry.control;
    return nullptr;
}

void DesignWindow::SetCaption(const std::wstring& caption) {
    SetWindowTextW(window_, caption.c_str());
}

void DesignWindow::TakeOffUnderline(HWND link) {
    if (BoxUnderlined(link))
        SetBoxUnderlined(link, false);
}

LRESULT DesignWindow::Receive(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) {
            EscapePressed();
            return 0;
        }
        if (LOWORD(wparam) == IDOK && lparam == 0) {
            EnterPressed();
            return 0;
        }
        if (HIWORD(wparam) == BN_CLICKED && lparam != 0) {
            ButtonPressed(reinterpret_cast<HWND>(lparam));
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        for (HWND link : links_)
            TakeOffUnderline(link);
        return 0;
    case WM_CLOSE:
        CloseRequested();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT CALLBACK DesignWindow::Procedure(HWND window, UINT message, WPARAM wparam,
                                         LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        auto* self = static_cast<DesignWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DesignWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wparam, lparam);
    return self->Receive(message, wparam, lparam);
}

}  // namespace velmora
