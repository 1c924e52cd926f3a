#include "container/sealed/sealed_failure.h"

#include "base/messages.h"

namespace velmora {
namespace {

constexpr int kNotSealedCode = -2101;
constexpr int kDamagedCode = -2102;
constexpr int kWrongPasswordCode = -2103;

}  // namespace

SealedFault FaultOf(const Error& error) {
    switch (error.code) {
        case kNotSealedCode:
            return SealedFault::kNotSealed;
        case kDamagedCode:
            return SealedFault::kDamaged;
        case kWrongPasswordCode:
            return SealedFault::kWrongPassword;
        default:
            return SealedFault::kOther;
    }
}

Error NotSealedError() {
    return Error{Text(Msg::kNotSealed), kNotSealedCode};
}

Error DamagedError(const std::string& why) {
    return Error{Text(Msg::kSealedDamaged, {why}), kDamagedCode};
}

Error WrongPasswordError() {
    return Error{Text(Msg::kWrongPassword), kWrongPasswordCode};
}

}  // namespace velmora
