#include "ui/win32/design_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "app/window_layouts.h"
#include "ui/win32/accessible_object.h"
#include "ui/win32/program_resources.h"
#include "ui/win32/win32_text.h"

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

COLORREF ToColorref(const std::optional<Colour>& colour) {
    return colour ? RGB(colour->red, colour->green, colour->blue) : GetSysColor(COLOR_BTNTEXT);
}

std::wstring Wide(std::string_view cp1252) {
    return WidenProgramText(std::string(cp1252));
}

}  // namespace

DesignWindow::DesignWindow(const WindowLayout& layout) : layout_(layout), dpi_(ScreenDpi()) {
    RegisterWindowClass(&DesignWindow::Procedure);
    const RECT frame = CentredFrame(Scale(layout.client_width), Scale(layout.client_height));
    const std::wstring caption = Wide(ShownCaption(std::string(layout.caption)));
    window_ = CreateWindowExW(0, kClassName, caption.c_str(), kStyle, frame.left, frame.top,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              Program(), this);
    HICON big = LoadIconSized(layout.icon, GetSystemMetrics(SM_CXICON));
    HICON small = LoadIconSized(layout.icon, GetSystemMetrics(SM_CXSMICON));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                nullptr, Program(), nullptr);

    // Children are created in tab order, so the dialog manager's Tab key
    // follows it; controls outside the tab order come last.
    std::vector<const ControlLayout*> ordered = TabOrder(layout);
    for (const ControlLayout& control : layout.controls)
        if (std::find(ordered.begin(), ordered.end(), &control) == ordered.end())
            ordered.push_back(&control);
    tooltip_texts_.reserve(ordered.size());
    int id = kFirstId;
    for (const ControlLayout* control : ordered)
        controls_.push_back({control, MakeControl(*control, id++)});
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

RECT DesignWindow::CentredFrame(int client_width, int client_height) const {
    RECT frame{0, 0, client_width, client_height};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    return {left, top, left + width, top + height};
}

void DesignWindow::SetClientHeight(int height) {
    RECT client;
    GetClientRect(window_, &client);
    if (client.bottom == Scale(height))
        return;
    const RECT frame = CentredFrame(client.right, Scale(height));
    SetWindowPos(window_, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesignWindow::ShowBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

HFONT DesignWindow::MakeFont(const Font& font, bool underlined) {
    const int height = -static_cast<int>(std::lround(font.points * dpi_ / 72.0));
    HFONT made =
        CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                    underlined ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, Wide(font.name).c_str());
    fonts_.push_back(made);
    return made;
}

void DesignWindow::AddTooltip(HWND control, std::string_view tooltip) {
    tooltip_texts_.push_back(Wide(tooltip));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = tooltip_texts_.back().data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND DesignWindow::MakeBox(const ControlLayout& layout, int id, const RECT& bounds) {
    BoxLook look;
    look.text = Wide(layout.caption);
    look.name = Wide(AccessibleName(layout));
    look.pressable = PressedFromKeyboard(layout);
    look.colour = ToColorref(layout.colour);
    look.fit = layout.fit == PictureFit::kStretched ? BoxFit::kStretch : BoxFit::kNatural;
    look.cursor = PointerCursor(layout.pointer);
    look.dpi = dpi_;
    if (layout.kind == ControlKind::kProgressBox) {
        look.kind = BoxKind::kProgress;
    } else if (layout.kind == ControlKind::kLabel) {
        look.kind = layout.link ? BoxKind::kLink : BoxKind::kLabel;
    } else if (IsIcon(layout.picture)) {
        look.kind = BoxKind::kIcon;
        look.icon = LoadIconSized(layout.picture, 48);
    } else {
        look.kind = BoxKind::kPicture;
        if (layout.picture != Resource::kNone)
            look.picture = static_cast<HBITMAP>(
                LoadImageW(Program(), MAKEINTRESOURCEW(static_cast<int>(layout.picture)),
                           IMAGE_BITMAP, 0, 0, 0));
    }
    if (!layout.font.name.empty()) {
        look.font = MakeFont(layout.font, false);
        if (look.kind == BoxKind::kLink)
            look.underlined_font = MakeFont(layout.font, true);
    }
    look.on_click = [this, id] { BoxClicked(GetDlgItem(window_, id)); };
    return CreateBox(window_, id, bounds, std::move(look));
}

HWND DesignWindow::MakeControl(const ControlLayout& layout, int id) {
    const RECT bounds{Scale(layout.left), Scale(layout.top), Scale(layout.left + layout.width),
                      Scale(layout.top + layout.height)};
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    HMENU control_id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    const DWORD tab_stop = layout.tab_index >= 0 ? WS_TABSTOP : 0;
    const DWORD common = WS_CHILD | tab_stop;
    auto make = [&](DWORD extended, const wchar_t* type, DWORD style) {
        return CreateWindowExW(extended, type, Wide(layout.caption).c_str(), common | style,
                               bounds.left, bounds.top, width, height, window_, control_id,
                               Program(), nullptr);
    };

    HWND control = nullptr;
    switch (layout.kind) {
        case ControlKind::kTextBox:
            // Never shown: screen readers name an edit by the static label
            // right before it.
            CreateWindowExW(0, L"STATIC", Wide(AccessibleName(layout)).c_str(), WS_CHILD,
                            bounds.left, bounds.top, width, height, window_, nullptr, Program(),
                            nullptr);
            control = make(WS_EX_CLIENTEDGE, L"EDIT",
                           ES_AUTOHSCROLL | (layout.password ? ES_PASSWORD : 0));
            if (layout.password)
                SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
            if (layout.max_length > 0)
                SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(layout.max_length), 0);
            break;
        case ControlKind::kPushButton:
            control = make(0, L"BUTTON", layout.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::kFolderList:
        case ControlKind::kFileList:
            control = make(WS_EX_CLIENTEDGE, L"LISTBOX", 0);
            break;
        default:
            control = MakeBox(layout, id, bounds);
            break;
    }
    if (layout.kind == ControlKind::kTextBox || layout.kind == ControlKind::kPushButton) {
        HGDIOBJ font = layout.font.name.empty() ? GetStockObject(DEFAULT_GUI_FONT)
                                                : MakeFont(layout.font, false);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ShowWindow(control, layout.visible ? SW_SHOWNA : SW_HIDE);
    if (!layout.tooltip.empty())
        AddTooltip(control, layout.tooltip);
    return control;
}

HWND DesignWindow::Control(std::string_view name, int index) const {
    for (const Made& made : controls_)
        if (made.layout->name == name && made.layout->index == index)
            return made.control;
    return nullptr;
}

HWND DesignWindow::Find(bool ControlLayout::*role) const {
    for (const Made& made : controls_)
        if (made.layout->*role)
            return made.control;
    return nullptr;
}

void DesignWindow::SetCaption(const std::wstring& caption) {
    SetWindowTextW(window_, caption.c_str());
}

void DesignWindow::EnterPressed() {
    // As in every Windows dialog, Enter presses the button that has the
    // focus (the dialog manager does it itself only for a default-styled
    // one).
    HWND focus = GetFocus();
    for (const Made& made : controls_) {
        if (made.control == focus && made.layout->kind == ControlKind::kPushButton)
            return ButtonPressed(focus);
        if (made.control == focus && PressedFromKeyboard(*made.layout))
            return BoxClicked(focus);
    }
    if (HWND button = Find(&ControlLayout::is_default))
        ButtonPressed(button);
}

void DesignWindow::EscapePressed() {
    if (HWND button = Find(&ControlLayout::is_cancel))
        ButtonPressed(button);
}

LRESULT DesignWindow::Receive(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            // The dialog manager turns Escape into IDCANCEL and Enter, where no
            // default-styled button has the focus, into IDOK, both without a
            // control.
            if (LOWORD(wparam) == IDCANCEL && lparam == 0) {
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
            for (const Made& made : controls_)
                if (made.layout->link)
                    MouseOverBackground(made.control);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus))
                    focus_ = focus;
            } else if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_)) {
                SetFocus(focus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            CloseRequested();
            return 0;
        case WM_GETOBJECT: {
            const LONG object = static_cast<LONG>(lparam);
            if (layout_.accessible_name.empty() ||
                (object != OBJID_CLIENT && object != OBJID_WINDOW))
                break;
            // The object may outlive this window: it keeps the handle and
            // the (static) layout only.
            auto name = [window = window_, &layout = layout_] {
                const std::string title = NarrowToProgramText(WindowText(window)).value_or("");
                return Wide(AccessibleName(layout, title));
            };
            const LRESULT answered = AnsweredObject(window_, object, wparam, {.name = name});
            if (answered)
                return answered;
            break;
        }
        case WM_SETCURSOR:
            if (busy_) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT CALLBACK DesignWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
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
