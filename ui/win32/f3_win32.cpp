#include "ui/win32/f3_win32.h"

#include "ui/win32/event_pump.h"

namespace velmora {

F3::F3() : DesignWindow(F3Layout()) {}

void F3::ShowModal() {
    HWND window = Handle();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(Control("Command1"));
    RunMessagesUntil([window] { return !IsWindow(window); });
}

void F3::Command1_Click() {
    DestroyWindow(Handle());
}

void F3::ButtonPressed(HWND button) {
    if (button == Control("Command1"))
        Command1_Click();
}

void F3::CloseRequested() {
    Command1_Click();
}

}  // namespace velmora
