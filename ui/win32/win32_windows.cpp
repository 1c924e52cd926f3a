#include "ui/win32/win32_windows.h"

#include "app/help_viewing.h"
#include "ui/win32/design_window.h"
#include "ui/win32/win32_text.h"

namespace velmora {

Win32Windows::Win32Windows(FileSystem& files, ProgramState& state, const CipherTables& tables,
                           std::string program_folder)
    : state_(state),
      tables_(tables),
      program_folder_(std::move(program_folder)),
      form1_(files, state) {}

Form2& Win32Windows::form2() {
    if (!form2_) {
        form2_ =
            std::make_unique<Form2>(state_, tables_, HelpToShow(program_folder_, Desktop::kWindows),
                                    [this] { form1_.EndProgram(); });
    }
    return *form2_;
}

void Win32Windows::SetPasswordDialogCaption(const std::string& caption) {
    form2().DesignWindow::SetCaption(WidenProgramText(caption));
}

void Win32Windows::SetPasswordDialogTag(const std::string& tag) {
    form2().Tag = tag;
}

void Win32Windows::ShowPasswordDialogModal() {
    form2().ShowModal();
}

void Win32Windows::ClearPasswordBox() {
    form2().ClearFirstBox();
}

void Win32Windows::ShowMainWindow() {
    ShowWindow(form1_.Handle(), SW_SHOW);
    SetFocus(form1_.Control("Command1"));
    UpdateWindow(form1_.Handle());
}

void Win32Windows::ShowInstructionsModal() {
    if (!f3_)
        f3_ = std::make_unique<F3>();
    f3_->ShowModal();
}

bool Win32Windows::AskYesNo(const std::string& cp1252) {
    return AskProgramQuestion(form1_.Handle(), cp1252);
}

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
