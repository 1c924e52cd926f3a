#include "ui/win32/command_line.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// What the shell's registered commands and a user's own typing give, and
// the argument text start-up must receive from them.
TEST(ArgumentText, KeepsEverythingAfterTheProgramNameExactly) {
    struct Case {
        const wchar_t* line;
        const wchar_t* arguments;
    } cases[] = {
        {LR"("C:\Program Files\Velmora\velmora.exe" C:\a b\c.zol/C)", LR"(C:\a b\c.zol/C)"},
        {LR"("C:\v\velmora.exe" "C:\quoted folder")", LR"("C:\quoted folder")"},
        {LR"(velmora.exe    C:\two  blanks )", LR"(C:\two  blanks )"},
        {LR"("C:\v\velmora.exe"C:\glued)", LR"(C:\glued)"},
        {L"velmora.exe\tC:\\tab", L"C:\\tab"},
        {LR"("C:\v\velmora.exe")", L""},
        {LR"(velmora.exe)", L""},
        {LR"("C:\unclosed quote)", L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArgumentText(c.line), c.arguments) << "line: " << std::wstring(c.line).size();
}

}  // namespace
}  // namespace velmora
