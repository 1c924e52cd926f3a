#include "cli/cli_host.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "container/main_window_actions.h"
#include "platform/names.h"
#include "platform/shown_text.h"

namespace velmora {
namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

constexpr int kInterruptedExit = 130;

}  // namespace

CliHost::CliHost(FileSystem& files, EngineState& state)
    : files_(files), state_(state), terminal_(isatty(STDERR_FILENO) == 1) {}

void CliHost::CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGXFSZ, SIG_IGN);
}

void CliHost::PumpEvents() {
    if (!interrupted)
        return;
    interrupted = 0;
    FinishProgressLine();
    if (!state_.Wiping)  // the wipe says itself what it leaves
        std::fprintf(stderr, "Cancelado.\n");
    PressCancelar(files_, state_, *this);
}

void CliHost::SetCaption(const std::string& caption) {
    caption_ = caption;
    AdvanceProgress(progress_tag_);
}

void CliHost::AdvanceProgress(std::int64_t mark) {
    progress_tag_ = mark;
    if (!terminal_)
        return;
    std::string bar(10, ' ');
    for (std::int64_t i = 0; i < mark && i < 10; ++i)
        bar[static_cast<std::size_t>(i)] = '#';
    std::fprintf(stderr, "\r%-18s [%s]", DisplayUtf8(caption_).c_str(), bar.c_str());
    std::fflush(stderr);
    bar_shown_ = true;
}

void CliHost::FinishProgressLine() {
    if (!bar_shown_)
        return;
    std::fprintf(stderr, "\n");
    bar_shown_ = false;
}

// Whole, control bytes escaped but for line breaks: a name in the message
// cannot drive the terminal, and a NUL cannot cut it.
void CliHost::ShowMessage(const std::string& text, MessageIcon) {
    FinishProgressLine();
    const std::string line = DisplayUtf8(EscapeControlBytes(text, true)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void CliHost::EndProgram() {
    FinishProgressLine();
    files_.CloseAll();
    std::exit(kInterruptedExit);
}

}  // namespace velmora
