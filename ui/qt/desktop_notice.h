#pragma once

#include <QString>

namespace velmora {

// A short desktop notification titled "Velmora", through the freedesktop
// notification service on the session bus. Without a bus or a service it
// does nothing, at once (the bus answers that no one has the name); a
// service that does not answer is waited for two seconds at most.
void SendDesktopNotice(const QString& text);

}  // namespace velmora
