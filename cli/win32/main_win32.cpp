// velmora-cli.exe: the program's engine for scripts and consoles.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "base/cp1252.h"
#include "cli/commands.h"
#include "platform/win32/win32_file_system.h"

// The arguments are taken in UTF-16 from the system and handed on in UTF-8,
// so no name depends on the machine's ANSI code page.
int main() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(velmora::Utf16ToUtf8(wide[i]));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    velmora::Win32FileSystem files;
    return velmora::CliMain(count, argv.data(), files);
}
