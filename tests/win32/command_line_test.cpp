#include "ui/win32/win32_text.h"

#include <gtest/gtest.h>

#include "app/startup_request.h"
#include "platform/win32/win32_file_system.h"

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

// The verb and path start-up takes from the argument text: a pair of quotes
// around the whole path (a shortcut's or a script's) is not part of it.
TEST(ParseStartupLine, TakesTheVerbThenThePathWithoutItsQuotes) {
    using Verb = StartupRequest::Verb;
    struct Case {
        const char* line;
        Verb verb;
        const char* path;
    } cases[] = {
        {R"(/S "C:\a\Mi Carpeta")", Verb::kSeal, R"(C:\a\Mi Carpeta)"},
        {R"(/S "")", Verb::kSeal, ""},
        {R"(/S "C:\a)", Verb::kSeal, R"("C:\a)"},
        {R"("C:\a\b.zol"/C)", Verb::kDecode, R"(C:\a\b.zol)"},
        {R"("C:\a\b.zol/C")", Verb::kDecode, R"(C:\a\b.zol)"},
        {R"("C:\a\Mi Carpeta")", Verb::kFolder, R"(C:\a\Mi Carpeta)"},
        {R"("C:\a" "C:\b")", Verb::kFolder, R"("C:\a" "C:\b")"},
        {R"(C:\a")", Verb::kFolder, R"(C:\a")"},
        {R"(")", Verb::kFolder, R"(")"},
        {"", Verb::kFolder, ""},
    };
    Win32FileSystem files;
    for (const Case& c : cases) {
        const StartupRequest request = ParseStartupLine(c.line, files);
        EXPECT_EQ(request.verb, c.verb) << c.line;
        EXPECT_EQ(request.path, c.path) << c.line;
    }
}

}  // namespace
}  // namespace velmora
