// velmora.exe: the desktop program. Started with a folder it encodes it, with
// a container followed by "/C" it restores it, and with nothing it registers
// its shell integration and shows how it is used.
#include <windows.h>

#include "app/form_load.h"
#include "base/cp1252.h"
#include "platform/clock.h"
#include "platform/win32/win32_file_system.h"
#include "shell/win32/shell_integration_win32.h"
#include "ui/win32/design_window.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_windows.h"

using namespace velmora;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32FileSystem files;
    SystemClock clock;
    ProgramState state;
    CipherTables tables([](const std::string& text) {
        ShowProgramMessage(nullptr, text, MessageIcon::kInformation);
    });
    Result<std::string> program_folder = files.ProgramFolder();
    const std::string folder =
        program_folder ? files.DisplayPath(program_folder.value()) : std::string(".");
    Win32Windows windows(files, state, tables, folder);

    StartupServices startup{
        files, clock, tables, windows,
        [&folder] { RegisterShellIntegration([&folder] { return folder; }, PumpPendingMessages); }};
    // The command line as one text, in the file system's own form (UTF-8).
    const std::wstring_view arguments = ArgumentText(GetCommandLineW());
    Form_Load(Utf16ToUtf8(arguments), state, startup);

    // Nothing to do: the main window stays idle until "Cancelar" or its
    // close box end the program.
    windows.ShowMainWindow();
    RunMessagesUntil([] { return false; });
    files.CloseAll();
    return 0;
}
