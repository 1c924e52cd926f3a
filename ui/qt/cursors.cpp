#include "ui/qt/cursors.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>

namespace velmora {

QCursor DesignCursor(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return QCursor(Qt::PointingHandCursor);
    const QByteArray bytes = file.readAll();
    // The first directory entry of a cursor file keeps the hot spot where an
    // icon keeps its planes and bit count.
    if (bytes.size() < 22)
        return QCursor(Qt::PointingHandCursor);
    auto word = [&](int offset) {
        return static_cast<unsigned char>(bytes[offset]) |
               static_cast<unsigned char>(bytes[offset + 1]) << 8;
    };
    QPixmap picture;
    picture.loadFromData(bytes, "CUR");
    if (picture.isNull())
        picture.loadFromData(bytes, "ICO");
    if (picture.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(picture, word(10), word(12));
}

void SetBusyPointer(bool busy) {
    static bool shown = false;
    if (busy == shown)
        return;
    shown = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace velmora
