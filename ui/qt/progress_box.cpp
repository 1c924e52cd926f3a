#include "ui/qt/progress_box.h"

#include <QPainter>

namespace velmora {

ProgressBox::ProgressBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void ProgressBox::FillTo(std::int64_t mark) {
    marks_.FillTo(mark);
    update();
}

void ProgressBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.fillRect(QRect(inside.left(), inside.top(), FilledWidth(), inside.height()), colour_);
}

}  // namespace velmora
