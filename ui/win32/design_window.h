#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_layouts.h"
#include "ui/win32/design_box.h"

namespace velmora {

// A top-level window built from its layout: a fixed single border, no
// minimize or maximize box, the client area exactly as designed (scaled from
// 96 DPI to the screen's), centred on the screen, the controls created in
// tab order with their fonts, colours, pictures, pointers and tooltips. As a
// dialog does, it gives the focus back to the control that had it when it is
// activated again (after a message box, or the help viewer). Screen readers
// (MSAA) call it by its layout's accessible name while its caption is blank.
class DesignWindow {
  public:
    explicit DesignWindow(const WindowLayout& layout);
    virtual ~DesignWindow();
    DesignWindow(const DesignWindow&) = delete;
    DesignWindow& operator=(const DesignWindow&) = delete;

    HWND Handle() const { return window_; }
    // The control of that name (and element of a control array).
    HWND Control(std::string_view name, int index = -1) const;
    void SetCaption(const std::wstring& caption);
    // The client area made `height` designed pixels tall, the window
    // centred again.
    void SetClientHeight(int height);
    // The busy pointer over the window, or the usual ones again.
    void ShowBusy(bool busy);

  protected:
    // A push button was pressed: clicked, or by Enter or Escape.
    virtual void ButtonPressed(HWND button) = 0;
    // Enter where the dialog manager found no default button: presses the
    // focused push button or pressable box, or else the default button.
    virtual void EnterPressed();
    // Escape: presses the cancel button.
    virtual void EscapePressed();
    virtual void CloseRequested() = 0;
    // A picture box or label was clicked.
    virtual void BoxClicked(HWND /*box*/) {}
    virtual LRESULT Receive(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    struct Made {
        const ControlLayout* layout;
        HWND control;
    };
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    HWND MakeControl(const ControlLayout& layout, int id);
    HWND MakeBox(const ControlLayout& layout, int id, const RECT& bounds);
    HFONT MakeFont(const Font& font, bool underlined);
    void AddTooltip(HWND control, std::string_view tooltip);
    HWND Find(bool ControlLayout::*role) const;
    int Scale(int pixels) const;
    // Where the window goes for a client area this big (screen pixels):
    // its frame centred on the work area.
    RECT CentredFrame(int client_width, int client_height) const;

    const WindowLayout& layout_;
    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the focus when the window was left
    int dpi_ = 96;
    bool busy_ = false;
    std::vector<Made> controls_;
    std::vector<HFONT> fonts_;
    std::vector<std::wstring> tooltip_texts_;
};

// Runs every window message waiting in the queue, then returns. Keyboard
// messages go through the dialog manager of their window, so Tab, Enter and
// Escape work as in a dialog.
void PumpPendingMessages();

// Runs window messages, waiting for them, until `done` holds.
void RunMessagesUntil(const std::function<bool()>& done);

}  // namespace velmora
