#include "platform/posix/posix_tree_ops.h"

#include <errno.h>
#include <string.h>

#include "platform/system_failure.h"

namespace velmora {
namespace {

Msg ReasonOf(int error_number) {
    if (const Refusal refusal = RefusalOf(error_number); refusal != Refusal::kNone)
        return ReasonOfRefusal(refusal);
    switch (error_number) {
        case ENOENT:
            return Msg::kReasonMissing;
        case EEXIST:
            return Msg::kReasonExists;
        case ENOTDIR:
            return Msg::kReasonPathPartNotFolder;
        case EISDIR:
            return Msg::kReasonIsFolder;
        case ENOTEMPTY:
            return Msg::kReasonFolderNotEmpty;
        case ENOSPC:
            return Msg::kReasonDiskFull;
        case EFBIG:
            return Msg::kReasonFileTooLarge;
        case EDQUOT:
            return Msg::kReasonQuotaExceeded;
        case EIO:
            return Msg::kReasonDiskError;
        case EROFS:
            return Msg::kReasonReadOnlyDisk;
        case ELOOP:
            return Msg::kReasonSymbolicLink;
        case ENAMETOOLONG:
            return Msg::kReasonNameTooLong;
        case EMFILE:
        case ENFILE:
            return Msg::kReasonTooManyOpen;
        case ENOTSUP:
        case ENOSYS:
            return Msg::kReasonNotSupported;
        default:
            return Msg::kReasonSystemErrorWithText;
    }
}

}  // namespace

Error SystemError(int error_number, Msg action, const std::string& shown_path) {
    const std::string reason =
        Text(ReasonOf(error_number), {std::to_string(error_number), strerror(error_number)});
    return FailureAt(action, shown_path, reason, error_number);
}

}  // namespace velmora
