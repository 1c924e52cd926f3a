#include "app/main_window.h"

#include <algorithm>

namespace velmora {
namespace {
constexpr std::int64_t kMarksAcross = 10;
}

void ProgressMarks::FillTo(std::int64_t mark) {
    filled_ = std::max({filled_, tag_, mark});
    tag_ = mark;
}

int ProgressMarks::FilledWidth(int inside_width) const {
    const std::int64_t marks = std::clamp<std::int64_t>(filled_, 0, kMarksAcross);
    return static_cast<int>(inside_width * marks / kMarksAcross);
}

int ProgressMarks::Percent() const {
    return static_cast<int>(std::clamp<std::int64_t>(filled_, 0, kMarksAcross) * 100 /
                            kMarksAcross);
}

bool LinkHover::Set(bool underlined) {
    if (underlined_ == underlined)
        return false;
    underlined_ = underlined;
    return true;
}

std::string LinkTarget(const std::string& caption) {
    if (caption.find("://") != std::string::npos)
        return caption;
    return "http://" + caption;
}

void MainWindow::Command1_Click() {
    if (state_.cancel.Request() != CancelToken::Heed::kNone)
        return;  // the run answers it at its next safe point
    files_.CloseAll();
    view_.EndProgram();
}

void MainWindow::Form_Unload() {
    files_.CloseAll();
    state_.key.clear();
    view_.EndProgram();
}

}  // namespace velmora
