#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "cli/console.h"
#include "platform/names.h"

namespace velmora {
namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

Result<std::string> AsProgramText(std::string line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    Result<std::string> text = Utf8ToCp1252(line);
    if (!text)
        return Error{kUnusablePassword};
    return text;
}

}  // namespace

void WriteOutput(const std::string& text) {
    std::fputs(DisplayUtf8(text).c_str(), stdout);
    std::fflush(stdout);
}

void WriteError(const std::string& text) {
    std::fputs(DisplayUtf8(text).c_str(), stderr);
    std::fflush(stderr);
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
    return interrupted != 0;
}

Result<std::string> ReadInputLine() {
    std::string line;
    if (!std::getline(std::cin, line))
        return Error{kNoPassword};
    return AsProgramText(line);
}

Result<std::string> ReadHiddenLine(const std::string& prompt) {
    WriteError(prompt);
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    WriteError("\n");
    if (!read)
        return Error{kNoPassword};
    return AsProgramText(line);
}

}  // namespace velmora
