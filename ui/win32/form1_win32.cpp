#include "ui/win32/form1_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "app/window_layouts.h"
#include "shell/win32/shell_integration_win32.h"
#include "ui/win32/design_window.h"
#include "ui/win32/win32_text.h"

namespace velmora {

Form1::Form1(FileSystem& files, ProgramState& state)
    : DesignWindow(Form1Layout()), files_(files), behaviour_(files, state, *this) {}

void Form1::PumpEvents() {
    PumpPendingMessages();
}

void Form1::BeginStep(const std::string& caption) {
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

void Form1::MakeWayForFolder() {
    ShowWindow(Handle(), SW_HIDE);
}

void Form1::EndJob() {
    behaviour_.Form_Unload();
}

void Form1::EndProgram() {
    files_.CloseAll();
    ExitProcess(0);
}

void Form1::SealedJob(SealedMoment moment, const std::string& path) {
    ShowSealedMoment(*this, moment, path.empty() ? path : files_.DisplayPath(path));
}

void Form1::Notify(const std::string& text) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = Handle();
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_INFO;
    icon.hIcon = reinterpret_cast<HICON>(SendMessageW(Handle(), WM_GETICON, ICON_SMALL, 0));
    icon.dwInfoFlags = NIIF_INFO;
    auto copy = [](const std::wstring& from, wchar_t* to, std::size_t room) {
        const std::size_t length = std::min(from.size(), room - 1);
        std::copy_n(from.begin(), length, to);
        to[length] = L'\0';
    };
    copy(L"Velmora", icon.szTip, std::size(icon.szTip));
    copy(L"Velmora", icon.szInfoTitle, std::size(icon.szInfoTitle));
    copy(WidenProgramText(text), icon.szInfo, std::size(icon.szInfo));
    if (!Shell_NotifyIconW(NIM_ADD, &icon))
        return;
    ShowWindow(Handle(), SW_HIDE);
    const ULONGLONG until = GetTickCount64() + 4000;
    while (GetTickCount64() < until) {
        PumpPendingMessages();
        Sleep(15);
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
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
