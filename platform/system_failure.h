#pragma once

#include <string>

#include "base/messages.h"
#include "base/result.h"

namespace velmora {

// A failed system call as the user is told it on every system: what was
// being done, the path as the user knows it and why, "No se puede abrir
// «C:\DATOS»: no existe.". The error number (a C library one, whatever the
// system) is kept for the caller.
Error FailureAt(Msg action, const std::string& shown_path, const std::string& reason,
                int error_number);

// What a failure on an entry that is there says, on every system (Windows'
// errors arrive as these numbers):
// - kDenied: the system refused this account access to the entry, EACCES or
//   EPERM (its permissions; on Windows also its read-only attribute). Its
//   owner may lift that and try once more.
// - kBusy: another program holds the entry, EBUSY (a Windows sharing or
//   lock violation, a mount point in use) or ETXTBSY (a program being run).
//   Nothing changed on the entry helps: it is left as it is.
// Both are the access error the user is told of when a file to be
// overwritten cannot be opened.
enum class Refusal { kNone, kDenied, kBusy };
Refusal RefusalOf(int error_number);
// The reason a refusal is told with ("no hay permiso.", "el archivo está
// siendo utilizado.").
Msg ReasonOfRefusal(Refusal refusal);

}  // namespace velmora
