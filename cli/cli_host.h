#pragma once

#include <chrono>
#include <string>

#include "container/cancel_token.h"
#include "container/host.h"
#include "platform/file_system.h"

namespace velmora {

// The engine's windows, played by a terminal: messages on standard error,
// a progress bar when standard error is a terminal, and Ctrl-C as
// "Cancelar": it sets the cancel token, or ends the program when no run
// heeds it.
class CliHost : public Host {
  public:
    CliHost(FileSystem& files, CancelToken& cancel);

    void PumpEvents() override;
    void BeginStep(const std::string& caption) override;
    // The windows' marks: the terminal measures the work its own way.
    void AdvanceProgress(std::int64_t) override {}
    void CountWork(const WorkCount& done) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void OpenFolder(const std::string&) override {}
    void MakeWayForFolder() override {}
    void EndJob() override { EndProgress(); }
    [[noreturn]] void EndProgram() override;

    // Installs the handler of Ctrl-C, SIGTERM and SIGHUP (a closed terminal)
    // that PumpEvents answers, and lets a write beyond the file-size limit
    // fail instead of killing the program.
    static void CatchInterrupts();

    // The end of a finished job: its progress line is drawn full and ended.
    void EndProgress();

  private:
    void DrawProgressLine();
    void FinishProgressLine();

    FileSystem& files_;
    CancelToken& cancel_;
    std::string caption_;
    WorkCount done_;
    std::chrono::steady_clock::time_point drawn_at_;
    bool bar_shown_ = false;
    bool terminal_;
};

// The terminal's progress line: the caption, a bar, the share done and the
// entries done of all. Entries count as well as bytes (an entry weighs as
// much as kEntryBytes of data), so a restore of many empty files moves too;
// the share reaches 100 % only when everything is done.
constexpr std::int64_t kEntryBytes = 64 << 10;
int PercentDone(const WorkCount& done);
std::string ProgressLine(const std::string& caption, const WorkCount& done);

}  // namespace velmora
