#pragma once

#include <string>

#include "base/messages.h"
#include "base/result.h"

namespace velmora {

// A failed system call as a user message: what was being done, the path as
// the user knows it, and the reason in Spanish. The error number is kept.
Error SystemError(int error_number, Msg action, const std::string& shown_path);

}  // namespace velmora
