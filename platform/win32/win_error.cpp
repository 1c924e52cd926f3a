#include "platform/win32/win_error.h"

#include <errno.h>
#include <windows.h>

namespace velmora {
namespace {

struct Meaning {
    int error_number;
    const char* reason;
};

Meaning MeaningOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return {ENOENT, "no existe."};
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return {EACCES, "no hay permiso."};
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return {EBUSY, "el archivo est\xE1 siendo utilizado."};
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return {EEXIST, "ya existe."};
        case ERROR_DIRECTORY:
            return {ENOTDIR, "una parte de la ruta no es una carpeta."};
        case ERROR_DIR_NOT_EMPTY:
            return {ENOTEMPTY,
                    "la carpeta no est\xE1 vac\xED"
                    "a."};
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return {ENOSPC, "no queda espacio en el disco."};
        case ERROR_WRITE_PROTECT:
            return {EROFS, "el disco es de solo lectura."};
        case ERROR_FILENAME_EXCED_RANGE:
            return {ENAMETOOLONG, "el nombre es demasiado largo."};
        case ERROR_TOO_MANY_OPEN_FILES:
            return {EMFILE, "hay demasiados archivos abiertos."};
        case ERROR_CANT_ACCESS_FILE:
        case ERROR_CANT_RESOLVE_FILENAME:
            return {ELOOP, "es un enlace simb\xF3lico o un punto de uni\xF3n."};
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return {ENOTSUP, "el sistema de archivos no lo admite."};
        case ERROR_INVALID_HANDLE:
            return {EBADF, "el archivo no est\xE1 abierto."};
        default:
            return {EIO, nullptr};
    }
}

}  // namespace

Error WinError(unsigned long windows_error, const std::string& action,
               const std::string& shown_path) {
    const Meaning meaning = MeaningOf(windows_error);
    const std::string reason = meaning.reason != nullptr
                                   ? meaning.reason
                                   : "error del sistema " + std::to_string(windows_error) + ".";
    return Error{action + " \xAB" + shown_path + "\xBB: " + reason, meaning.error_number};
}

Error LastWinError(const std::string& action, const std::string& shown_path) {
    return WinError(GetLastError(), action, shown_path);
}

}  // namespace velmora
