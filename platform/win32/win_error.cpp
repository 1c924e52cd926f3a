#include "platform/win32/win32_tree_ops.h"

#include <errno.h>
#include <windows.h>

#include "platform/system_failure.h"

namespace velmora {
namespace {

struct Meaning {
    int error_number;
    Msg reason;
};

Meaning Refused(int error_number) {
    return {error_number, ReasonOfRefusal(RefusalOf(error_number))};
}

Meaning MeaningOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return {ENOENT, Msg::kReasonMissing};
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return Refused(EACCES);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return Refused(EBUSY);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return {EEXIST, Msg::kReasonExists};
        case ERROR_DIRECTORY:
            return {ENOTDIR, Msg::kReasonPathPartNotFolder};
        case ERROR_DIR_NOT_EMPTY:
            return {ENOTEMPTY, Msg::kReasonFolderNotEmpty};
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return {ENOSPC, Msg::kReasonDiskFull};
        case ERROR_WRITE_PROTECT:
            return {EROFS, Msg::kReasonReadOnlyDisk};
        case ERROR_FILENAME_EXCED_RANGE:
            return {ENAMETOOLONG, Msg::kReasonNameTooLong};
        case ERROR_TOO_MANY_OPEN_FILES:
            return {EMFILE, Msg::kReasonTooManyOpen};
        case ERROR_CANT_ACCESS_FILE:
        case ERROR_CANT_RESOLVE_FILENAME:
            return {ELOOP, Msg::kReasonLinkOrJunction};
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return {ENOTSUP, Msg::kReasonNotSupported};
        case ERROR_INVALID_HANDLE:
            return {EBADF, Msg::kReasonNotOpen};
        default:
            return {EIO, Msg::kReasonSystemError};
    }
}

}  // namespace

Error WinError(unsigned long windows_error, Msg action, const std::string& shown_path) {
    const Meaning meaning = MeaningOf(windows_error);
    const std::string reason = Text(meaning.reason, {std::to_string(windows_error)});
    return FailureAt(action, shown_path, reason, meaning.error_number);
}

Error LastWinError(Msg action, const std::string& shown_path) {
    return WinError(GetLastError(), action, shown_path);
}

}  // namespace velmora
