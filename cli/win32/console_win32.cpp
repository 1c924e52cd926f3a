#include <windows.h>
#include <cerrno>

#include <cstdio>
#include <iostream>

#include "base/cp1252.h"
#include "base/messages.h"
#include "cli/console.h"

// A Windows console is written in UTF-16 (WriteConsoleW), so accents show
// whatever the console's code page; redirected output gets UTF-8 bytes, as
// on Linux.
namespace velmora {
namespace {

volatile LONG interrupted = 0;

BOOL WINAPI OnControl(DWORD event) {
    InterlockedExchange(&interrupted, 1);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(4000);  // the system ends the process when this returns: let "Cancelar" run
    return TRUE;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

bool output_lost = false;

void Put(FILE* stream, const char* data, std::size_t size) {
    if ((std::fwrite(data, 1, size, stream) != size || std::fflush(stream) != 0) &&
        stream == stdout) {
        output_lost = true;
        std::clearerr(stream);
    }
}

void Write(DWORD which, FILE* stream, const std::string& text) {
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        Result<std::wstring> converted = Cp1252ToUtf16(text);
        const std::wstring wide = converted ? converted.value() : std::wstring(L"?");
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string shown = DisplayUtf8(text);
    Put(stream, shown.data(), shown.size());
}

}  // namespace

void WriteOutput(const std::string& text) {
    Write(STD_OUTPUT_HANDLE, stdout, text);
}

void WriteError(const std::string& text) {
    Write(STD_ERROR_HANDLE, stderr, text);
}

void WriteNativeOutput(const std::string& native_text) {
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    Result<std::wstring> wide = Utf8ToUtf16(native_text);
    if (IsConsole(handle) && wide) {
        DWORD written = 0;
        WriteConsoleW(handle, wide->data(), static_cast<DWORD>(wide->size()), &written, nullptr);
        return;
    }
    Put(stdout, native_text.data(), native_text.size());
}

bool OutputWasLost() {
    return output_lost;
}

bool ErrorIsTerminal() {
    return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

void CatchInterrupts() {
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool Interrupted() {
    return InterlockedExchange(&interrupted, 0) != 0;
}

Result<std::string> ReadHiddenLine(const std::string& prompt, LineText text) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!IsConsole(input)) {
        WriteError(prompt);
        Result<std::string> line = ReadInputLine(text);
        WriteError("\n");
        return line;
    }
    WriteError(prompt);
    DWORD saved = 0;
    GetConsoleMode(input, &saved);
    SetConsoleMode(input,
                   (saved | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
    std::wstring line;
    bool ended = false;
    wchar_t buffer[256];
    DWORD got = 0;
    while (!ended && ReadConsoleW(input, buffer, 256, &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got && !ended; ++i) {
            if (buffer[i] == L'\n')
                ended = true;
            else if (buffer[i] != L'\r')
                line.push_back(buffer[i]);
        }
    }
    SetConsoleMode(input, saved);
    WriteError("\n");
    if (!ended && line.empty())
        return Error{Text(Msg::kNoPasswordReceived)};
    return LineAs(Utf16ToUtf8(line), text);
}

}  // namespace velmora
