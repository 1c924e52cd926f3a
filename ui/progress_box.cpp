#include "ui/progress_box.h"

#include <QPainter>
#include <algorithm>

namespace velmora {

namespace {
constexpr std::int64_t kMarksAcross = 10;
}

ProgressBox::ProgressBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void ProgressBox::FillTo(std::int64_t mark) {
    const std::int64_t from = tag_.toLongLong();
    filled_ = std::max(filled_, std::max(from, mark));
    tag_ = QString::number(mark);
    update();
}

int ProgressBox::FilledWidth() const {
    const std::int64_t marks = std::clamp<std::int64_t>(filled_, 0, kMarksAcross);
    return static_cast<int>(contentsRect().width() * marks / kMarksAcross);
}

void ProgressBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.fillRect(QRect(inside.left(), inside.top(), FilledWidth(), inside.height()),
                     QColor(0, 0, 255));
}

}  // namespace velmora
