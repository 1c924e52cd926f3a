#include "ui/qt/ui_services.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QVariantMap>

#include "base/messages.h"
#include "ui/qt/program_text.h"

namespace velmora {

void QtMessageBoxes::Show(const QString& text, MessageIcon icon) {
    QMessageBox box(
        icon == MessageIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        "Velmora", text);
    // Qt's own "OK" is English unless a translation is installed.
    QPushButton* aceptar =
        box.addButton(FromProgramText(Text(Msg::kAceptar)), QMessageBox::AcceptRole);
    box.setDefaultButton(aceptar);
    box.setEscapeButton(aceptar);
    box.exec();
}

bool QtMessageBoxes::Ask(const QString& question) {
    QMessageBox box(QMessageBox::Question, "Velmora", question);
    QPushButton* yes = box.addButton(FromProgramText(Text(Msg::kYes)), QMessageBox::YesRole);
    QPushButton* no = box.addButton(FromProgramText(Text(Msg::kNo)), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void SendDesktopNotice(const QString& text) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                         "/org/freedesktop/Notifications",
                                                         "org.freedesktop.Notifications", "Notify");
    constexpr int kShownMilliseconds = 6000;
    notify << QString("Velmora") << 0u << QString("velmora") << QString("Velmora") << text
           << QStringList() << QVariantMap() << kShownMilliseconds;
    // Waited for: the program ends right after, which would drop a message
    // still queued.
    bus.call(notify, QDBus::Block, 2000);
}

}  // namespace velmora
