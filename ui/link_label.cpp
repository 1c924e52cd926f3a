#include "ui/link_label.h"

#include <QMouseEvent>

namespace velmora {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) { setMouseTracking(true); }

void LinkLabel::SetUnderlined(bool underlined) {
    QFont changed = font();
    changed.setUnderline(underlined);
    setFont(changed);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (!Underlined()) SetUnderlined(true);
    // Taken here: passed on, the window's own handler would see a move over
    // its background and take the underline off again.
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

}  // namespace velmora
