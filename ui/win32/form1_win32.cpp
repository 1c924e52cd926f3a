#include "ui/win32/form1_win32.h"

#include "app/window_caption.h"
#include "shell/win32/open_in_shell.h"
#include "ui/win32/event_pump.h"
#include "ui/win32/win32_text.h"

namespace velmora {

Form1::Form1(FileSystem& files, EngineState& state)
    : DesignWindow(Form1Layout()), files_(files), behaviour_(files, state, *this) {}

void Form1::PumpEvents() {
    PumpPendingMessages();
}

void Form1::SetCaption(const std::string& caption) {
    DesignWindow::SetCaption(WidenProgramText(ShownCaption(caption)));
}

void Form1::AdvanceProgress(std::int64_t mark) {
    AdvanceBoxProgress(Control("P1"), mark);
    UpdateWindow(Control("P1"));
}

void Form1::ShowMessage(const std::string& text, MessageIcon icon) {
    ShowProgramMessage(IsWindowVisible(Handle()) ? Handle() : nullptr, text, icon);
}

void Form1::OpenFolder(const std::string& path) {
    // As the system writes it: a sealed container's folder may have any name.
    Result<std::string> native = files_.NativeForm(path);
    if (native)
        OpenNativeInShell(native.value());
}

void Form1::HideMainWindow() {
    ShowWindow(Handle(), SW_HIDE);
}

void Form1::UnloadMainWindow() {
    behaviour_.Form_Unload();
}

void Form1::EndProgram() {
    files_.CloseAll();
    ExitProcess(0);
}

void Form1::ButtonPressed(HWND button) {
    if (button == Control("Command1"))
        behaviour_.Command1_Click();
}

void Form1::BoxClicked(HWND box) {
    if (box == Control("Label3"))
        OpenLink(box);
}

void Form1::CloseRequested() {
    behaviour_.Form_Unload();
}

void OpenLink(HWND label) {
    const std::optional<std::string> text = NarrowToProgramText(WindowText(label));
    if (text)
        OpenInShell(LinkTarget(*text));
}

void ShowProgramMessage(HWND owner, const std::string& text, MessageIcon icon) {
    const UINT kind = icon == MessageIcon::kCritical ? MB_ICONSTOP : MB_ICONINFORMATION;
    MessageBoxW(owner, WidenProgramText(text).c_str(), L"Velmora", MB_OK | kind);
}

bool AskProgramQuestion(HWND owner, const std::string& text) {
    return MessageBoxW(owner, WidenProgramText(text).c_str(), L"Velmora",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace velmora
