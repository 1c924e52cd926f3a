#include <signal.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

#include <cstdio>
#include <iostream>

#include "base/cp1252.h"
#include "base/messages.h"
#include "cli/console.h"

namespace velmora {
namespace {

volatile sig_atomic_t interrupted = 0;
bool output_lost = false;

void Put(const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        output_lost = true;
        std::clearerr(stdout);
    }
}

void OnInterrupt(int) {
    interrupted = 1;
}

}  // namespace

void WriteOutput(const std::string& text) {
    Put(DisplayUtf8(text));
}

void WriteError(const std::string& text) {
    std::fputs(DisplayUtf8(text).c_str(), stderr);
    std::fflush(stderr);
}

void WriteNativeOutput(const std::string& native_text) {
    Put(native_text);
}

bool OutputWasLost() {
    return output_lost;
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
    sigaction(SIGHUP, &action, nullptr);
    // Past a file-size limit a write fails with EFBIG instead of killing
    // the program with the container half written.
    signal(SIGXFSZ, SIG_IGN);
    // A reader that goes away (`velmora-cli list ... | head`) makes writes
    // fail with EPIPE instead of killing a job that may be mid-wipe.
    signal(SIGPIPE, SIG_IGN);
}

bool Interrupted() {
    if (!interrupted)
        return false;
    interrupted = 0;
    return true;
}

Result<std::string> ReadHiddenLine(const std::string& prompt, LineText text) {
    WriteError(prompt);
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    Result<std::string> line = ReadInputLine(text);
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    WriteError("\n");
    return line;
}

}  // namespace velmora
