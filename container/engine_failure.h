#pragma once

#include <string>

#include "base/result.h"

namespace velmora {

// Raised inside the engine's steps when the work cannot go on; the run's
// entry point catches it, shows the message once and reports the failure.
struct EngineFailure {
    std::string message;
    int code = 0;  // the error's own, telling what kind of failure it was
};

[[noreturn]] inline void ThrowFailure(const Error& error) {
    throw EngineFailure{error.message, error.code};
}

// The value of a Result, or the engine's failure path.
template <typename T>
T OrFail(Result<T> result) {
    if (!result)
        ThrowFailure(result.error());
    return std::move(result).value();
}

inline void OrFail(const Status& status) {
    if (!status)
        ThrowFailure(status.error());
}

}  // namespace velmora
