#include "ui/qt/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace velmora {

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
