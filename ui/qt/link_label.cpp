#include "ui/qt/link_label.h"

#include <QMouseEvent>

namespace velmora {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

QString LinkLabel::Target() const {
    return QString::fromStdString(LinkTarget(text().toStdString()));
}

void LinkLabel::ShowUnderline() {
    QFont changed = font();
    changed.setUnderline(hover_.underlined());
    setFont(changed);
}

void LinkLabel::MouseOverBackground() {
    if (hover_.MouseOverBackground())
        ShowUnderline();
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (hover_.MouseOverLabel())
        ShowUnderline();
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
