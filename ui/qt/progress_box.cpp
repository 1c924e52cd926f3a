#include "ui/qt/progress_box.h"

#include <QAccessible>
#include <QPainter>

namespace velmora {

ProgressBox::ProgressBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void ProgressBox::FillTo(std::int64_t mark) {
    const int before = marks_.Percent();
    marks_.FillTo(mark);
    update();
    if (marks_.Percent() != before && QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, marks_.Percent());
        QAccessible::updateAccessibility(&changed);
    }
}

void ProgressBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.fillRect(QRect(inside.left(), inside.top(), FilledWidth(), inside.height()), colour_);
}

}  // namespace velmora
