#include "ui/win32/form2_win32.h"

#include <imm.h>

#include "base/cp1252.h"
#include "shell/win32/shell_integration_win32.h"
#include "ui/win32/design_box.h"
#include "ui/win32/design_window.h"
#include "ui/win32/form1_win32.h"
#include "ui/win32/win32_text.h"

namespace velmora {
namespace {

// Every surrogate is one half of a pair: only then has the text a UTF-8
// form (a lone one would become a replacement character).
bool WellFormedUtf16(const std::wstring& text) {
    auto high = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    auto low = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (high(text[i]) && i + 1 < text.size() && low(text[i + 1]))
            ++i;
        else if (high(text[i]) || low(text[i]))
            return false;
    }
    return true;
}

}  // namespace

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

TypedPassword Form2::BoxText(int index, PasswordCoding coding) const {
    const std::wstring text = WindowText(Box(index));
    if (coding == PasswordCoding::kWindows1252)
        return NarrowToProgramText(text);
    if (!WellFormedUtf16(text))
        return std::nullopt;
    return Utf16ToUtf8(text);
}

void Form2::SetBoxText(int index, const std::string& text, PasswordCoding coding) {
    if (coding == PasswordCoding::kWindows1252) {
        SetWindowTextW(Box(index), WidenProgramText(text).c_str());
        return;
    }
    Result<std::wstring> wide = Utf8ToUtf16(text);
    SetWindowTextW(Box(index), wide ? wide->c_str() : L"");
}

void Form2::LimitFirstBox(int characters) {
    // 0 is the edit control's own largest limit.
    SendMessageW(Box(0), EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void Form2::HideSecondBox() {
    ShowWindow(Box(1), SW_HIDE);
}

void Form2::ShowModal() {
    ShowWindow(Handle(), SW_SHOW);
    presenter_.Shown(Mode());
    SetForegroundWindow(Handle());
    SetFocus(Box(0));
    RunMessagesUntil([this] { return !IsWindowVisible(Handle()); });
}

void Form2::ClearFirstBox() {
    SetWindowTextW(Box(0), L"");
}

void Form2::FocusBox(int index) {
    SetFocus(Box(index));
}

void Form2::ShowMessage(const std::string& cp1252, MessageIcon icon) {
    ShowProgramMessage(Handle(), cp1252, icon);
}

bool Form2::AskYesNo(const std::string& cp1252) {
    return AskProgramQuestion(Handle(), cp1252);
}

void Form2::PumpEvents() {
    PumpPendingMessages();
}

void Form2::HideDialog() {
    ShowWindow(Handle(), SW_HIDE);
}

void Form2::ShowSealedRows(const SealedDialogRows& rows, int client_height) {
    velmora::SetBoxText(Control("Label4"), WidenProgramText(rows.what));
    velmora::SetBoxText(Control("Label5"), WidenProgramText(rows.rule));
    ShowWindow(Control("Label4"), SW_SHOWNA);
    ShowWindow(Control("Label5"), SW_SHOWNA);
    SetClientHeight(client_height);
}

void Form2::SetCaption(const std::string& cp1252) {
    DesignWindow::SetCaption(WidenProgramText(cp1252));
}

void Form2::SetBusy(bool busy) {
    ShowBusy(busy);
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

LRESULT Form2::Receive(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE)
        presenter_.Shown(Mode());
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
