#include "cli/cli_host.h"

#include <algorithm>
#include <cstdlib>

#include "base/messages.h"
#include "base/name_text.h"
#include "cli/console.h"

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

void CliHost::BeginStep(const std::string& caption) {
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

namespace {

constexpr int kBarCells = 20;
constexpr std::size_t kCaptionWidth = 18;

}  // namespace

int PercentDone(const WorkCount& done) {
    const double whole = static_cast<double>(done.entries_total) * kEntryBytes +
                         static_cast<double>(done.bytes_total);
    if (whole <= 0)
        return 0;
    const double part =
        static_cast<double>(done.entries) * kEntryBytes + static_cast<double>(done.bytes);
    if (part >= whole)
        return 100;
    return std::min(static_cast<int>(part * 100 / whole), 99);
}

std::string ProgressLine(const std::string& caption, const WorkCount& done) {
    const int percent = PercentDone(done);
    std::string line = caption;
    if (line.size() < kCaptionWidth)
        line.append(kCaptionWidth - line.size(), ' ');
    const auto filled = static_cast<std::size_t>(percent * kBarCells / 100);
    const std::string bar = std::string(filled, '#') + std::string(kBarCells - filled, ' ');
    std::string shown = std::to_string(percent);
    shown.insert(0, 3 - shown.size(), ' ');
    line += " [" + bar + "] " + shown + " %";
    if (done.entries_total > 0)
        line += "  " + std::to_string(done.entries) + "/" + std::to_string(done.entries_total);
    return line;
}

}  // namespace velmora
