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

}  // namespace velmora
