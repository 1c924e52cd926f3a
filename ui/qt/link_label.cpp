#include "ui/qt/link_label.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace velmora {

void PressableLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return QLabel::keyPressEvent(event);
    if (!event->isAutoRepeat())
        emit clicked();
    event->accept();
}

void PressableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void PressableLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    // Only a focus the keyboard moved here is shown: the designed look
    // stays as it is for the mouse.
    if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

LinkLabel::LinkLabel(QWidget* parent) : PressableLabel(parent) {
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

}  // namespace velmora
