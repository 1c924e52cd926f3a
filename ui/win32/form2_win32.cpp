#include "ui/win32/form2_win32.h"

#include <imm.h>

#include "shell/win32/open_in_shell.h"
#include "ui/win32/event_pump.h"
#include "ui/win32/form1_win32.h"
#include "ui/win32/win32_text.h"

namespace velmora {

Form2::Form2(ProgramState& state, const CipherTables& tables, HelpViewing help,
             std::function<void()> end_program)
    : DesignWindow(Form2Layout()),
      help_(std::move(help)),
      end_program_(std::move(end_program)),
      presenter_(state, tables, *this, [this] { end_program_(); }) {
    // No input method in the password boxes.
    for (int i = 0; i < 2; ++i)
        ImmAssociateContextEx(Box(i), nullptr, 0);
}

TypedPassword Form2::BoxText(int index) const {
    return NarrowToProgramText(WindowText(Box(index)));
}

void Form2::SetBoxText(int index, const std::string& cp1252) {
    SetWindowTextW(Box(index), WidenProgramText(cp1252).c_str());
}

void Form2::ShowModal() {
    ShowWindow(Handle(), SW_SHOW);
    HideRepeatBoxWhenDecoding();
    SetForegroundWindow(Handle());
    SetFocus(Box(0));
    RunMessagesUntil([this] { return !IsWindowVisible(Handle()); });
}

void Form2::ClearFirstBox() {
    SetBoxText(0, "");
}

void Form2::FocusBox(int index) {
    SetFocus(Box(index));
}

void Form2::ShowMessage(const std::string& cp1252, MessageIcon icon) {
    ShowProgramMessage(Handle(), cp1252, icon);
}

void Form2::PumpEvents() {
    PumpPendingMessages();
}

void Form2::HideDialog() {
    ShowWindow(Handle(), SW_HIDE);
}

void Form2::ButtonPressed(HWND button) {
    if (button == Control("Command1"))
        presenter_.Command1_Click(Mode());
    else if (button == Control("Command2"))
        presenter_.Command2_Click();
}

void Form2::EnterPressed() {
    HWND focus = GetFocus();
    const int box = focus == Box(0) ? 0 : focus == Box(1) ? 1 : -1;
    if (box < 0)
        return DesignWindow::EnterPressed();
    presenter_.EnterInBox(Mode(), box);
}

void Form2::BoxClicked(HWND box) {
    if (box == Control("Image1"))
        OpenWith(help_.viewer, help_.file);
    else if (box == Control("Label3"))
        OpenLink(box);
}

void Form2::CloseRequested() {
    end_program_();
}

void Form2::HideRepeatBoxWhenDecoding() {
    if (!SecondBoxShown(Mode()))
        ShowWindow(Box(1), SW_HIDE);
}

LRESULT Form2::Receive(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE)
        HideRepeatBoxWhenDecoding();
    if (message == WM_COMMAND && HIWORD(wparam) == EN_SETFOCUS) {
        // The caret goes after the last character; posted, because the
        // dialog manager selects the whole text after giving the focus.
        HWND box = reinterpret_cast<HWND>(lparam);
        const int length = GetWindowTextLengthW(box);
        PostMessageW(box, EM_SETSEL, static_cast<WPARAM>(length), length);
    }
    return DesignWindow::Receive(message, wparam, lparam);
}

}  // namespace velmora
