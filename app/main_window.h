#pragma once

#include <cstdint>
#include <string>

#include "app/program_state.h"
#include "container/host.h"
#include "platform/file_system.h"

namespace velmora {

// The progress box's marks, drawn in tenths of the box's width (a finished
// run, mark 9 at most, fills nine tenths). The tag keeps the last mark
// drawn, as text.
class ProgressMarks {
  public:
    // Fills from the mark in the tag to `mark` and keeps `mark` in the tag.
    void FillTo(std::int64_t mark);
    std::string Tag() const { return std::to_string(tag_); }
    // The right edge of the filled part in a box `inside_width` wide.
    int FilledWidth(int inside_width) const;
    // The filled part as a percentage of the box, as a screen reader says it.
    int Percent() const;

  private:
    std::int64_t tag_ = 0;
    std::int64_t filled_ = 0;
};

// A link label's underline: on while the mouse moves over the label, off
// again when it moves over the window's background.
class LinkHover {
  public:
    // Each returns true when the underline changed and must be redrawn.
    bool MouseOverLabel() { return Set(true); }
    bool MouseOverBackground() { return Set(false); }
    bool underlined() const { return underlined_; }

  private:
    bool Set(bool underlined);
    bool underlined_ = false;
};

// What the desktop is asked to open for a link label's caption: the address
// as a web address.
std::string LinkTarget(const std::string& caption);

// What the main window's buttons and close box do, whatever draws it.
class MainWindow {
  public:
    MainWindow(FileSystem& files, ProgramState& state, Host& view)
        : files_(files), state_(state), view_(view) {}

    // "Cancelar": the cancel token set for the run going on, which removes
    // what is unfinished and ends the program (cancel_token.h); with no run,
    // every open file closed and the program ended.
    void Command1_Click();
    // The close box, or the unload at the end of encoding: every open file
    // closed and the key forgotten; an unfinished container stays.
    void Form_Unload();

  private:
    FileSystem& files_;
    ProgramState& state_;
    Host& view_;
};

}  // namespace velmora
