#include "cli/cli_host.h"

#include <cstdlib>

#include "base/messages.h"
#include "base/name_text.h"
#include "cli/console.h"
#include "container/main_window_actions.h"

namespace velmora {
namespace {

constexpr int kInterruptedExit = 130;

}  // namespace

CliHost::CliHost(FileSystem& files, EngineState& state)
    : files_(files), state_(state), terminal_(ErrorIsTerminal()) {}

void CliHost::CatchInterrupts() {
    velmora::CatchInterrupts();
}

void CliHost::PumpEvents() {
    if (!Interrupted())
        return;
    FinishProgressLine();
    if (!state_.Wiping)  // the wipe says itself what it leaves
        WriteError(Text(Msg::kCancelled) + "\n");
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
    std::string line = "\r" + caption_;
    if (caption_.size() < 18)
        line.append(18 - caption_.size(), ' ');
    WriteError(line + " [" + bar + "]");
    bar_shown_ = true;
}

void CliHost::FinishProgressLine() {
    if (!bar_shown_)
        return;
    WriteError("\n");
    bar_shown_ = false;
}

// Whole, control bytes escaped but for line breaks: a name in the message
// cannot drive the terminal, and a NUL cannot cut it.
void CliHost::ShowMessage(const std::string& text, MessageIcon) {
    FinishProgressLine();
    WriteError(EscapeControlBytes(text, true) + "\n");
}

void CliHost::EndProgram() {
    FinishProgressLine();
    files_.CloseAll();
    std::exit(kInterruptedExit);
}

}  // namespace velmora
