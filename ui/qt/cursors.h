#pragma once

#include <QCursor>
#include <QString>

namespace velmora {

// A mouse pointer from a Windows cursor (.cur) resource, with the hot spot
// the file gives.
QCursor DesignCursor(const QString& resource);

}  // namespace velmora
