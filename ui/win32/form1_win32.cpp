#include "ui/win32/form1_win32.h"

#include "container/main_window_actions.h"
#include "shell/win32/open_in_shell.h"
#include "ui/win32/event_pump.h"
#include "ui/win32/maker_link.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_text.h"

namespace velmora {
namespace {

WindowDesign Form1Design() {
    WindowDesign design{L"", 256, 197, RES_PADLOCK, {}};
    design.controls = {
        {.name = "Picture1", .index = 0, .kind = ControlKind::kPictureBox, .left = 24, .top = 0,
         .width = 201, .height = 94, .tab = 9, .picture = RES_LOGO},
        {.name = "P1", .index = 0, .kind = ControlKind::kProgress, .left = 8, .top = 104,
         .width = 241, .height = 17, .colour = RGB(0, 0, 255), .tab = 3},
        {.name = "Command1", .index = 0, .kind = ControlKind::kButton, .left = 88, .top = 128,
         .width = 81, .height = 33, .font = L"Comic Sans MS", .points = 11.25,
         .caption = L"Cancelar", .tab = 0},
        {.name = "Label3", .index = 0, .kind = ControlKind::kLink, .left = 16, .top = 168,
         .width = 220, .height = 26, .font = L"Comic Sans MS", .points = 14.25,
         .colour = RGB(0, 0, 255), .caption = kMakerLink, .tooltip = L"M\u00e1s Programas...",
         .cursor = IDC_UPARROW, .system_cursor = true, .tab = 8},
        // The folder and file lists of the design lie outside the client
        // area and are never shown; the walk does not need them.
        {.name = "Dir1", .index = 0, .kind = ControlKind::kList, .left = 264, .top = 232,
         .width = 81, .height = 51, .tab = 1, .visible = false},
        {.name = "File1", .index = 0, .kind = ControlKind::kList, .left = 352, .top = 240,
         .width = 81, .height = 32, .tab = 2, .visible = false},
    };
    return design;
}

}  // namespace

Form1::Form1(FileSystem& files, EngineState& state)
    : DesignWindow(Form1Design()), files_(files), state_(state) {}

void Form1::PumpEvents() {
    PumpPendingMessages();
}

void Form1::SetCaption(const std::string& caption) {
    DesignWindow::SetCaption(WidenProgramText(caption));
}

void Form1::AdvanceProgress(std::int64_t mark) {
    AdvanceBoxProgress(Control("P1"), mark);
    UpdateWindow(Control("P1"));
}

void Form1::ShowMessage(const std::string& text, MessageIcon icon) {
    ShowProgramMessage(IsWindowVisible(Handle()) ? Handle() : nullptr, text, icon);
}

void Form1::OpenFolder(const std::string& path) {
    OpenInShell(files_.DisplayPath(path));
}

void Form1::HideMainWindow() {
    ShowWindow(Handle(), SW_HIDE);
}

void Form1::UnloadMainWindow() {
    CloseMainWindow(files_, state_, *this);
}

void Form1::EndProgram() {
    files_.CloseAll();
    ExitProcess(0);
}

void Form1::ButtonPressed(HWND button) {
    if (button == Control("Command1"))
        PressCancelar(files_, *this);
}

void Form1::EscapePressed() {
    PressCancelar(files_, *this);
}

void Form1::BoxClicked(HWND box) {
    if (box == Control("Label3"))
        OpenMakerLink();
}

void Form1::CloseRequested() {
    CloseMainWindow(files_, state_, *this);
}

void ShowProgramMessage(HWND owner, const std::string& text, MessageIcon icon) {
    const UINT kind = icon == MessageIcon::kCritical ? MB_ICONSTOP : MB_ICONINFORMATION;
    MessageBoxW(owner, WidenProgramText(text).c_str(), L"Velmora", MB_OK | kind);
}

}  // namespace velmora
