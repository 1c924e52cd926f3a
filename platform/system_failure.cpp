#include "platform/system_failure.h"

#include <errno.h>

namespace velmora {

Error FailureAt(Msg action, const std::string& shown_path, const std::string& reason,
                int error_number) {
    return Error{Text(Msg::kFailedAt, {Text(action), shown_path, reason}), error_number};
}

Refusal RefusalOf(int error_number) {
    switch (error_number) {
        case EACCES:
        case EPERM:
            return Refusal::kDenied;
        case EBUSY:
        case ETXTBSY:
            return Refusal::kBusy;
        default:
            return Refusal::kNone;
    }
}

Msg ReasonOfRefusal(Refusal refusal) {
    return refusal == Refusal::kBusy ? Msg::kReasonInUse : Msg::kReasonNoPermission;
}

}  // namespace velmora
