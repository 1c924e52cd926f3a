#pragma once

#include <QCursor>
#include <QString>

namespace velmora {

// A mouse pointer from a Windows cursor (.cur) resource, with the hot spot
// the file gives.
QCursor DesignCursor(const QString& resource);

// The busy pointer over every window of the program, or the usual ones
// again; asked twice the same, the second does nothing.
void SetBusyPointer(bool busy);

}  // namespace velmora
