#include "ui/link_label.h"

#include <QMouseEvent>

#include "ui/window_style.h"

namespace velmora {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

LinkLabel* LinkLabel::MakerLink(QWidget* parent, const QFont& font, const QString& tooltip,
                                const QCursor& pointer, Opener& opener) {
    auto* link = new LinkLabel(parent);
    link->setText(kMakerAddress);
    link->setFont(font);
    SetTextColour(link, QColor(0, 0, 255));
    link->setToolTip(tooltip);
    link->setCursor(pointer);
    connect(link, &LinkLabel::clicked, link,
            [link, &opener] { opener.Open(QUrl::fromUserInput(link->text())); });
    return link;
}

void LinkLabel::SetUnderlined(bool underlined) {
    QFont changed = font();
    changed.setUnderline(underlined);
    setFont(changed);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (!Underlined())
        SetUnderlined(true);
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
