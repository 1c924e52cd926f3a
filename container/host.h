#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// How far a long step is: entries (folders and files) and bytes done, and
// how many of each it has to do.
struct WorkCount {
    std::int64_t entries = 0;
    std::int64_t entries_total = 0;
    std::int64_t bytes = 0;
    std::int64_t bytes_total = 0;
};

// Icons of the program's message boxes.
enum class MessageIcon { kCritical, kInformation };

// The moments of a sealed job the windows tell of: the key being derived
// (the better part of a second with nothing else to show) and derived, and
// the job done.
enum class SealedMoment { kDerivingKey, kKeyReady, kSealed, kRestored };

// Everything the long operations need from the windows, and nothing more.
// The Qt windows, the command-line program and the tests each implement it,
// so the same engine runs under all three.
class Host {
  public:
    virtual ~Host() = default;

    // Lets pending window events run. "Cancelar" and the close box run
    // inside this call: the close box ends the program there, "Cancelar"
    // sets the cancel token (cancel_token.h) a run reads at its safe points.
    virtual void PumpEvents() = 0;

    // A long step begins: `title` (the program's form) says what it does
    // (the windows show it as their caption, the terminal as the line its
    // counts follow); the progress starts again from nothing.
    virtual void BeginStep(const std::string& title) = 0;

    // Moves the progress shown on to `mark` (tenths of the step done); the
    // view remembers the last mark it drew.
    virtual void AdvanceProgress(std::int64_t mark) = 0;

    // The same step counted in entries and bytes, for a view that measures
    // it its own way (the terminal's); the windows draw only the marks.
    virtual void CountWork(const WorkCount&) {}

    // A modal message with an OK button and the title "Velmora".
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;

    // Opens a folder in the desktop's file manager (errors ignored).
    virtual void OpenFolder(const std::string& path) = 0;

    // The job's own view steps out of the way of the folder about to be
    // opened (the windows hide; the terminal has nothing to do).
    virtual void MakeWayForFolder() = 0;

    // A moment of a sealed job; `path` (the program's form) is the
    // container written (kSealed) or the folder restored (kRestored), ""
    // for the key's moments. Only the windows tell of them.
    virtual void SealedJob(SealedMoment, const std::string& /*path*/) {}

    // The job is over: the view closes what it showed (the windows close,
    // and their close handling ends the program; the terminal ends its
    // progress line).
    virtual void EndJob() = 0;

    // Closes every open file and ends the program at once. It does not
    // return to the engine.
    [[noreturn]] virtual void EndProgram() = 0;
};

}  // namespace velmora
