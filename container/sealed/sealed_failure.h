#pragma once

#include <string>

#include "base/result.h"

namespace velmora {

// How reading a sealed container failed, for callers that act differently
// on each: try the legacy kind, ask for the password again, or report
// damage. The kind travels in Error::code as a negative number, which no
// system error number is.
enum class SealedFault {
    kOther,          // anything else: a read that failed, memory
    kNotSealed,      // no sealed magic: perhaps a legacy container
    kDamaged,        // the header, the stream or the index is not sound
    kWrongPassword,  // the header is sound and the key check disagrees
};

SealedFault FaultOf(const Error& error);

Error NotSealedError();
// "El contenedor sellado está dañado: <why>" (why in Windows-1252).
Error DamagedError(const std::string& why);
Error WrongPasswordError();

}  // namespace velmora
