#include "ui/win32/f3_win32.h"

#include "ui/win32/event_pump.h"
#include "ui/win32/resource_ids.h"

namespace velmora {
namespace {

WindowDesign F3Design() {
    WindowDesign design{L"Velmora 2.0", 442, 325, RES_QUESTION, {}};
    design.controls = {
        {.name = "Picture2", .index = 0, .kind = ControlKind::kPictureBox, .left = 16, .top = 8,
         .width = 191, .height = 168, .tab = 1, .picture = RES_MENU},
        {.name = "Picture1", .index = 0, .kind = ControlKind::kPictureBox, .left = 224, .top = 32,
         .width = 201, .height = 94, .tab = 0, .picture = RES_LOGO},
        {.name = "Label1", .index = 0, .kind = ControlKind::kLabel, .left = 64, .top = 192,
         .width = 369, .height = 65, .font = L"Comic Sans MS", .points = 12,
         .colour = RGB(192, 64, 0),
         .caption = L"Para Encriptar una carpeta, pulse el bot\u00f3n derecho del mouse, y "
                    L"seleccione \"Encriptar..\"",
         .tab = 2},
        {.name = "Image1", .index = 0, .kind = ControlKind::kImage, .left = 16, .top = 208,
         .width = 35, .height = 35, .picture = RES_SMILE, .fit = PictureFit::kStretch},
        {.name = "Command1", .index = 0, .kind = ControlKind::kButton, .left = 128, .top = 264,
         .width = 185, .height = 49, .font = L"Comic Sans MS", .points = 15.75, .bold = true,
         .caption = L"ACEPTAR", .tab = 3},
    };
    return design;
}

}  // namespace

F3::F3() : DesignWindow(F3Design()) {
    // The default button: drawn as such, and Enter presses it.
    SendMessageW(Control("Command1"), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

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

void F3::EscapePressed() {
    Command1_Click();
}

void F3::EnterPressed() {
    Command1_Click();
}

void F3::CloseRequested() {
    Command1_Click();
}

}  // namespace velmora
