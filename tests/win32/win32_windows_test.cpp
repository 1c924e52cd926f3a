// The Win32 view of the three windows, as built from the layout table:
// window frame, password boxes, tab order and the keys the dialog manager
// turns into button presses.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_file_system.h"
#include "ui/win32/design_window.h"
#include "ui/win32/form1_win32.h"
#include "ui/win32/form2_win32.h"
#include "ui/win32/win32_windows.h"

namespace velmora {
namespace {

// What a screen reader reads of a control or a window (MSAA): its role,
// name and value.
struct Read {
    long role = 0;
    std::wstring name;
    std::wstring value;
};
Read ReadAccessible(HWND control, LONG part = OBJID_CLIENT) {
    Read read;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(part), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return read;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
        read.role = role.lVal;
    for (auto [text, get] : {std::pair{&read.name, &IAccessible::get_accName},
                             std::pair{&read.value, &IAccessible::get_accValue}}) {
        BSTR got = nullptr;
        if ((object->*get)(self, &got) == S_OK && got)
            *text = got;
        SysFreeString(got);
    }
    object->Release();
    return read;
}

void PressKey(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 1u | (3u << 30));
    PumpPendingMessages();
}

class Form2View : public ::testing::Test {
  protected:
    ProgramState state;
    CipherTables tables{[](const std::string&) {}};
    int ended = 0;
    Form2 form{state, tables, HelpToShow("C:\\v", Desktop::kWindows), [this] { ++ended; }};

    void SetUp() override {
        tables.CrearBuffer();
        CoInitialize(nullptr);
    }
    void TearDown() override { CoUninitialize(); }
    HWND Box(int index) const { return form.Control("Text1", index); }
    void Show(Form2& shown) {
        ShowWindow(shown.Handle(), SW_SHOW);
        SetForegroundWindow(shown.Handle());
        SetFocus(shown.Control("Text1", 0));
        PumpPendingMessages();
    }
    void Show() { Show(form); }
};

// A fixed frame in every mode; each mode's password boxes: shown or not,
// and the first one's limit (the legacy table's 15, or none the sealed
// rules would reach).
TEST_F(Form2View, EachModeShowsItsPasswordBoxesWithTheirLimit) {
    const LONG style = GetWindowLongW(form.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    const struct {
        const char* tag;
        bool second_shown;
        bool legacy_limit;
    } cases[] = {{"1", true, true}, {"2", false, true}, {"3", true, false}, {"4", false, false}};
    for (const auto& c : cases) {
        Form2 shown{state, tables, HelpToShow("C:\\v", Desktop::kWindows), [] {}};
        shown.Tag = c.tag;
        Show(shown);
        const HWND boxes[] = {shown.Control("Text1", 0), shown.Control("Text1", 1)};
        for (const HWND box : boxes)
            EXPECT_EQ(SendMessageW(box, EM_GETPASSWORDCHAR, 0, 0), L'*') << c.tag;
        EXPECT_EQ(IsWindowVisible(boxes[1]) != FALSE, c.second_shown) << c.tag;
        const LRESULT limit = SendMessageW(boxes[0], EM_GETLIMITTEXT, 0, 0);
        EXPECT_TRUE(c.legacy_limit ? limit == 15 : limit > 1024) << c.tag << ": " << limit;
        if (c.second_shown)
            EXPECT_GT(SendMessageW(boxes[1], EM_GETLIMITTEXT, 0, 0), 15) << c.tag;
    }
}

TEST_F(Form2View, TabVisitsTheBoxesThenOkThenCancelarThenTheLinkAndTheHelpPicture) {
    Show();
    const HWND expected[] = {Box(1),
                             form.Control("Command1"),
                             form.Control("Command2"),
                             form.Control("Label3"),
                             form.Control("Image1"),
                             Box(0)};
    HWND at = Box(0);
    for (HWND next : expected) {
        at = GetNextDlgTabItem(form.Handle(), at, FALSE);
        EXPECT_EQ(at, next);
    }
}

// Enter in the first box moves on when encoding; Enter presses whichever
// button has the focus, reached by Tab or not; Escape cancels.
TEST_F(Form2View, EnterMovesOnOrPressesTheFocusedButtonAndEscapeCancels) {
    Show();
    PressKey(Box(0), VK_RETURN);
    EXPECT_EQ(GetFocus(), Box(1));
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(state.key.empty());
    PressKey(Box(1), VK_ESCAPE);
    EXPECT_EQ(ended, 1);
    Show();
    SetFocus(form.Control("Command2"));
    PressKey(form.Control("Command2"), VK_RETURN);
    EXPECT_EQ(ended, 2);
}

// Sealing: what is typed reaches the rules as UTF-8, every character and
// its case kept.
TEST_F(Form2View, SealingTakesTheTypedTextAsUtf8) {
    form.Tag = "3";
    Show();
    const std::wstring typed = L"\u0141\u00f3d\u017a \u65e5\u672c Clave \U0001F511";
    SetWindowTextW(Box(0), typed.c_str());
    SetWindowTextW(Box(1), typed.c_str());
    SendMessageW(form.Control("Command1"), BM_CLICK, 0, 0);
    PumpPendingMessages();
    EXPECT_EQ(state.sealed_password,
              "\xC5\x81\xC3\xB3"
              "d\xC5\xBA \xE6\x97\xA5\xE6\x9C\xAC Clave \xF0\x9F\x94\x91");
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(state.key.empty());
}

// Screen readers name each password box by the hidden label before it.
TEST_F(Form2View, ScreenReadersNameThePasswordBoxes) {
    Show();
    EXPECT_EQ(ReadAccessible(Box(0)).name, L"Contrase\u00f1a");
    EXPECT_EQ(ReadAccessible(Box(1)).name, L"Repetici\u00f3n de la contrase\u00f1a");
    EXPECT_EQ(ReadAccessible(form.Control("Image1")).name, L"Ayuda de Velmora");
}

// ... and read the progress box as a progress bar with its percentage. The
// hidden lists never show. The empty caption is shown blank: a window
// manager would name an untitled window itself. Screen readers call the
// window by the name the Qt view gives it, and by its caption once it has
// one.
TEST(Form1View, ScreenReadersReadTheProgressAndTheCaptionIsBlank) {
    CoInitialize(nullptr);
    Win32FileSystem files;
    ProgramState state;
    Form1 form(files, state);
    ShowWindow(form.Handle(), SW_SHOW);
    form.AdvanceProgress(3);
    PumpPendingMessages();
    const Read read = ReadAccessible(form.Control("P1"));
    EXPECT_EQ(read.role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(read.name, L"Progreso");
    EXPECT_EQ(read.value, L"30 %");
    EXPECT_FALSE(IsWindowVisible(form.Control("Dir1")));
    EXPECT_FALSE(IsWindowVisible(form.Control("File1")));
    EXPECT_TRUE(IsWindowVisible(form.Control("Label3")));
    wchar_t caption[8] = {};
    EXPECT_EQ(GetWindowTextW(form.Handle(), caption, 8), 1);
    EXPECT_EQ(std::wstring(caption), L" ");
    for (const auto& [shown, name] :
         {std::pair{"", L"Velmora"}, std::pair{"Codificando...", L"Codificando..."}}) {
        form.BeginStep(shown);
        for (const LONG part : {OBJID_WINDOW, OBJID_CLIENT})
            EXPECT_EQ(ReadAccessible(form.Handle(), part).name, name) << shown << " " << part;
    }
    CoUninitialize();
}

// "ACEPTAR" is both the default and the cancel button.
TEST(F3View, EnterEscapeAndCloseAllUnloadIt) {
    for (const UINT key : {UINT{VK_RETURN}, UINT{VK_ESCAPE}, UINT{0}}) {
        F3 window;
        HWND handle = window.Handle();
        ShowWindow(handle, SW_SHOW);
        SetFocus(window.Control("Command1"));
        if (key)
            PressKey(window.Control("Command1"), key);
        else
            SendMessageW(handle, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(handle)) << key;
    }
}

}  // namespace
}  // namespace velmora
