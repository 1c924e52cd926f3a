#include "platform/posix/system_error.h"

#include <errno.h>
#include <string.h>

namespace velmora {
namespace {

std::string Reason(int error_number) {
    switch (error_number) {
        case ENOENT:
            return "no existe.";
        case EACCES:
        case EPERM:
            return "no hay permiso.";
        case EEXIST:
            return "ya existe.";
        case ENOTDIR:
            return "una parte de la ruta no es una carpeta.";
        case EISDIR:
            return "es una carpeta.";
        case ENOTEMPTY:
            return "la carpeta no est\xE1 vac\xED"
                   "a.";
        case ENOSPC:
            return "no queda espacio en el disco.";
        case EFBIG:
            return "supera el tama\xF1o de archivo permitido.";
        case EDQUOT:
            return "se ha superado la cuota de disco.";
        case EIO:
            return "error de entrada/salida del disco.";
        case EROFS:
            return "el disco es de solo lectura.";
        case EBUSY:
        case ETXTBSY:
            return "el archivo est\xE1 siendo utilizado.";
        case ELOOP:
            return "es un enlace simb\xF3lico.";
        case ENAMETOOLONG:
            return "el nombre es demasiado largo.";
        case EMFILE:
        case ENFILE:
            return "hay demasiados archivos abiertos.";
        case ENOTSUP:
            return "el sistema de archivos no lo admite.";
        default:
            return std::string("error del sistema ") + std::to_string(error_number) + " (" +
                   strerror(error_number) + ").";
    }
}

}  // namespace

Error SystemError(int error_number, const std::string& action, const std::string& shown_path) {
    return Error{action + " \xAB" + shown_path + "\xBB: " + Reason(error_number), error_number};
}

}  // namespace velmora
