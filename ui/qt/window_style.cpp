#include "ui/qt/layout_builder.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

// The pictures, icons and cursors are compiled into this static library; its
// resource initialiser must be called by name or the linker drops it.
static void InitialiseDesignResources() {
    Q_INIT_RESOURCE(resources);
}

namespace velmora {

void LoadDesignResources() {
    static const bool loaded = (InitialiseDesignResources(), true);
    static_cast<void>(loaded);
}

void MakeDesignWindow(QWidget* window, const QString& name, int width, int height,
                      const QString& caption, const QString& icon) {
    LoadDesignResources();
    window->setObjectName(name);
    MakeFixedWindow(window, width, height);
    window->setWindowTitle(caption);
    window->setWindowIcon(QIcon(icon));
}

void MakeFixedWindow(QWidget* window, int width, int height) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(width, height);
}

void CentreFrame(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size();
    window->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}

namespace {

bool FrameKnown(const QWidget* window) {
    return window->frameGeometry().size() != window->size();
}

class FrameCentring : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show) {
            frame_pending_ = !FrameKnown(window);
            CentreFrame(window);
        } else if (frame_pending_ && event->type() == QEvent::Move && FrameKnown(window)) {
            frame_pending_ = false;
            CentreFrame(window);
        }
        return false;
    }

  private:
    bool frame_pending_ = false;
};

}  // namespace

void KeepFrameCentred(QWidget* window) {
    CentreFrame(window);
    window->installEventFilter(new FrameCentring(window));
}

QFont DesignFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void InstallFontSubstitutes() {
    const QStringList installed = QFontDatabase::families();
    auto substitute = [&](const QString& family, const QStringList& replacements) {
        if (!installed.contains(family))
            QFont::insertSubstitutions(family, replacements);
    };
    substitute("Comic Sans MS", {"Comic Neue"});
    substitute("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    substitute("Times New Roman", {"Liberation Serif", "DejaVu Serif"});
}

void SetTextColour(QWidget* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

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
