#include "cli/cli_host.h"

#include <algorithm>
#include <cstdlib>

#include "base/messages.h"
#include "base/name_text.h"
#include "cli/console.h"
#include "cli/progress_line.h"

namespace velmora {
namespace {

constexpr int kInterruptedExit = 130;

}  // namespace

CliHost::CliHost(FileSystem& files, CancelToken& cancel)
    : files_(files), cancel_(cancel), terminal_(ErrorIsTerminal()) {}

void CliHost::CatchInterrupts() {
    velmora::CatchInterrupts();
}

void CliHost::PumpEvents() {
    if (!Interrupted())
        return;
    FinishProgressLine();
    if (cancel_.heed() != CancelToken::Heed::kWipeStops)  // the wipe says itself what it leaves
        WriteError(Text(Msg::kCancelled) + "\n");
    if (cancel_.Request() == CancelToken::Heed::kNone)
        EndProgram();
}

void CliHost::SetCaption(const std::string& caption) {
    caption_ = caption;
    done_ = {};
    DrawProgressLine();
}

// Drawn again when its share changes, or a tenth of a second after it was:
// a count of many small entries does not flood the terminal.
void CliHost::CountWork(const WorkCount& done) {
    const bool share_changed = PercentDone(done) != PercentDone(done_);
    done_ = done;
    if (share_changed ||
        std::chrono::steady_clock::now() - drawn_at_ >= std::chrono::milliseconds(100))
        DrawProgressLine();
}

void CliHost::DrawProgressLine() {
    if (!terminal_)
        return;
    WriteError("\r" + ProgressLine(caption_, done_));
    drawn_at_ = std::chrono::steady_clock::now();
    bar_shown_ = true;
}

void CliHost::EndProgress() {
    if (bar_shown_) {
        done_.entries = done_.entries_total = std::max<std::int64_t>(done_.entries_total, 1);
        done_.bytes = done_.bytes_total;
        DrawProgressLine();
    }
    FinishProgressLine();
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
