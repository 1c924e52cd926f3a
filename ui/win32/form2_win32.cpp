#include "ui/win32/form2_win32.h"

#include <imm.h>

#include <cstdlib>

#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "container/password_check.h"
#include "shell/win32/open_in_shell.h"
#include "ui/win32/event_pump.h"
#include "ui/win32/form1_win32.h"
#include "ui/win32/maker_link.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_text.h"

namespace velmora {
namespace {

WindowDesign Form2Design() {
    WindowDesign design{L"Escriba la contrase\u00f1a:", 255, 173, RES_PADLOCK, {}};
    design.controls = {
        {.name = "Image1", .index = 0, .kind = ControlKind::kImage, .left = 0, .top = 0,
         .width = 53, .height = 127, .tooltip = L"Ayuda de Velmora",
         .cursor = MAKEINTRESOURCEW(RES_HAND_MONO), .picture = RES_TITLE,
         .fit = PictureFit::kStretch},
        {.name = "Text1", .index = 0, .kind = ControlKind::kTextBox, .left = 64, .top = 16,
         .width = 177, .height = 33, .font = L"MS Sans Serif", .points = 18, .tab = 0},
        {.name = "Text1", .index = 1, .kind = ControlKind::kTextBox, .left = 64, .top = 56,
         .width = 177, .height = 33, .font = L"MS Sans Serif", .points = 18, .tab = 1},
        {.name = "Command1", .index = 0, .kind = ControlKind::kButton, .left = 64, .top = 96,
         .width = 81, .height = 33, .font = L"MS Sans Serif", .points = 12, .caption = L"Ok",
         .tab = 2},
        {.name = "Command2", .index = 0, .kind = ControlKind::kButton, .left = 160, .top = 96,
         .width = 81, .height = 33, .font = L"MS Sans Serif", .points = 12,
         .caption = L"Cancelar", .tab = 3},
        {.name = "Label3", .index = 0, .kind = ControlKind::kLink, .left = 35, .top = 144,
         .width = 185, .height = 21, .font = L"Times New Roman", .points = 14.25,
         .colour = RGB(0, 0, 255), .caption = kMakerLink,
         .tooltip = L"More M\u00e1s Programas...", .cursor = MAKEINTRESOURCEW(RES_HAND_COLOR),
         .tab = 4},
    };
    return design;
}

}  // namespace

Form2::Form2(ProgramState& state, const CipherTables& tables, std::string help_file,
             std::function<void()> end_program)
    : DesignWindow(Form2Design()),
      state_(state),
      tables_(tables),
      help_file_(std::move(help_file)),
      end_program_(std::move(end_program)) {
    SendMessageW(Control("Text1", 0), EM_LIMITTEXT, 15, 0);
    for (int i = 0; i < 2; ++i)
        ImmAssociateContextEx(Control("Text1", i), nullptr, 0);
}

bool Form2::Decoding() const {
    return std::atoi(Tag.c_str()) == 2;
}

std::wstring Form2::BoxText(int index) const {
    HWND box = Control("Text1", index);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form2::SetBoxText(int index, const std::string& cp1252) {
    SetWindowTextW(Control("Text1", index), WidenProgramText(cp1252).c_str());
}

void Form2::ShowModal() {
    ShowWindow(Handle(), SW_SHOW);
    HideRepeatBoxWhenDecoding();
    SetForegroundWindow(Handle());
    SetFocus(Control("Text1", 0));
    RunMessagesUntil([this] { return !IsWindowVisible(Handle()); });
}

void Form2::ClearFirstBox() {
    SetBoxText(0, "");
}

void Form2::Refuse(const std::string& text, MessageIcon icon, bool empty_both) {
    ShowProgramMessage(Handle(), text, icon);
    SetBoxText(0, "");
    if (empty_both)
        SetBoxText(1, "");
    SetFocus(Control("Text1", 0));
}

void Form2::Accept(const std::string& key) {
    state_.engine.PasswordKey = key;
    ShowWindow(Handle(), SW_HIDE);
}

void Form2::Command1_Click() {
    const std::optional<std::string> first = NarrowToProgramText(BoxText(0));
    const std::optional<std::string> second = NarrowToProgramText(BoxText(1));
    if (!first || !second)
        return Refuse(
            "La contrase\xF1"
            "a tiene caracteres que no se pueden usar. Escr\xED"
            "bala sin ellos.",
            MessageIcon::kCritical, true);

    state_.engine.PasswordKey = ToUpperCp1252(*first);
    if (state_.engine.PasswordKey.empty())
        return Refuse("Contrase\xF1" "a incorrecta.", MessageIcon::kCritical, false);
    SetBoxText(0, ToUpperCp1252(*first));
    SetBoxText(1, ToUpperCp1252(*second));
    if (!Decoding() && first->size() < 3)
        return Refuse("La contrase\xF1" "a debe tener al menos 3 caracteres.",
                      MessageIcon::kInformation, false);

    const Result<std::string> key = DeriveKey(state_.engine.PasswordKey);
    PumpPendingMessages();
    if (!key) {
        state_.engine.PasswordKey.clear();
        return Refuse(key.error().message, MessageIcon::kCritical, true);
    }
    state_.engine.PasswordKey = key.value();

    if (Decoding()) {
        if (!PasswordMatches(tables_, state_.StoredCheck, key.value())) {
            state_.engine.PasswordKey.clear();
            return Refuse("Contrase\xF1" "a incorrecta.", MessageIcon::kCritical, false);
        }
        return Accept(key.value());
    }
    if (ToUpperCp1252(*first) != ToUpperCp1252(*second)) {
        state_.engine.PasswordKey.clear();
        return Refuse("Las contrase\xF1" "as son diferentes.", MessageIcon::kCritical, true);
    }
    if (PasswordCheckHasEdgeSpace(tables_, key.value())) {
        state_.engine.PasswordKey.clear();
        return Refuse("Esta contrase\xF1" "a no se puede usar con este formato. Elija otra.",
                      MessageIcon::kCritical, true);
    }
    SetBoxText(0, "");
    SetBoxText(1, "");
    Accept(key.value());
    PumpPendingMessages();
}

void Form2::Command2_Click() {
    state_.engine.PasswordKey.clear();
    end_program_();
}

void Form2::ButtonPressed(HWND button) {
    if (button == Control("Command1"))
        Command1_Click();
    else if (button == Control("Command2"))
        Command2_Click();
}

void Form2::EscapePressed() {
    Command2_Click();
}

// Enter in a password box: in decoding mode, or in the second box, it
// presses "Ok"; in the first box when encoding it moves to the second. The
// key itself goes nowhere.
void Form2::EnterPressed() {
    HWND focus = GetFocus();
    if (focus == Control("Text1", 0) && !Decoding())
        SetFocus(Control("Text1", 1));
    else if (focus == Control("Text1", 0) || focus == Control("Text1", 1))
        Command1_Click();
}

void Form2::BoxClicked(HWND box) {
    if (box == Control("Image1"))
        OpenInShell(help_file_);
    else if (box == Control("Label3"))
        OpenMakerLink();
}

void Form2::CloseRequested() {
    end_program_();
}

void Form2::HideRepeatBoxWhenDecoding() {
    if (Decoding())
        ShowWindow(Control("Text1", 1), SW_HIDE);
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
