#include "platform/system_failure.h"

namespace velmora {

Error FailureAt(Msg action, const std::string& shown_path, const std::string& reason,
                int error_number) {
    return Error{Text(Msg::kFailedAt, {Text(action), shown_path, reason}), error_number};
}

}  // namespace velmora
