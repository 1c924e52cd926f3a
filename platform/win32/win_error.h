#pragma once

#include <string>

#include "base/messages.h"
#include "base/result.h"

namespace velmora {

// A failed Windows call as a user message: what was being done, the path as
// the user knows it and the reason in Spanish. The error keeps the C library
// number the engine understands (EACCES, EBUSY, ENOENT ...), so the engine
// reads failures the same way on every system.
Error WinError(unsigned long windows_error, Msg action, const std::string& shown_path);

// The same for the calling thread's last error.
Error LastWinError(Msg action, const std::string& shown_path);

}  // namespace velmora
