#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/design_box.h"

namespace velmora {

// The kinds of control the three windows are built from.
enum class ControlKind { kPictureBox, kImage, kTextBox, kButton, kLabel, kLink, kProgress, kList };

// One control as designed at 96 DPI: its name and element number, kind,
// geometry, font, text colour, caption, tooltip, pointer, place in the tab
// order (-1: none) and the pictures it shows.
struct ControlDesign {
    const char* name;
    int index;
    ControlKind kind;
    int left, top, width, height;
    const wchar_t* font = nullptr;
    double points = 0;
    bool bold = false;
    COLORREF colour = RGB(0, 0, 0);
    std::wstring caption;
    std::wstring tooltip;
    LPCWSTR cursor = nullptr;  // a resource of the program, or a system pointer
    bool system_cursor = false;
    int tab = -1;
    bool visible = true;
    int picture = 0;  // bitmap or icon resource
    PictureFit fit = PictureFit::kNatural;
};

struct WindowDesign {
    std::wstring caption;
    int client_width, client_height;
    int icon;
    std::vector<ControlDesign> controls;
};

// A top-level window with a fixed single border, no minimize or maximize
// box, its client area exactly as designed (scaled from 96 DPI to the
// screen's), centred on the screen, and its controls created in tab order.
class DesignWindow {
  public:
    explicit DesignWindow(const WindowDesign& design);
    virtual ~DesignWindow();
    DesignWindow(const DesignWindow&) = delete;
    DesignWindow& operator=(const DesignWindow&) = delete;

    HWND Handle() const { return window_; }
    // The control of that name (and element number).
    HWND Control(const char* name, int index = 0) const;
    void SetCaption(const std::wstring& caption);

  protected:
    // A push button was pressed (also by Enter or Escape, see below).
    virtual void ButtonPressed(HWND button) = 0;
    // Escape: presses the window's cancel button, if it has one.
    virtual void EscapePressed() {}
    // Enter where no button has the focus.
    virtual void EnterPressed() {}
    virtual void CloseRequested() = 0;
    virtual LRESULT Receive(UINT message, WPARAM wparam, LPARAM lparam);
    // A link label of this window: the mouse over the background takes its
    // underline off.
    void TakeOffUnderline(HWND link);
    // A picture box or link label was clicked.
    virtual void BoxClicked(HWND /*box*/) {}

  private:
    struct Made {
        const char* name;
        int index;
        HWND control;
    };
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    HWND MakeControl(const ControlDesign& design, int id);
    HFONT MakeFont(const ControlDesign& design, bool underlined);
    int Scale(int pixels) const;

    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    int dpi_ = 96;
    std::vector<Made> controls_;
    std::vector<HFONT> fonts_;
    std::vector<HWND> links_;
};

}  // namespace velmora
