#include "base/messages.h"

#include <array>
#include <vector>

#include "base/cp1252.h"

namespace velmora {
namespace {

struct Written {
    Msg message;
    const char* text;
};

// Every text, in the order of Msg.
constexpr Written kTexts[] = {
    {Msg::kEncodingCaption, "Codificando..."},
    {Msg::kNotAFolderToEncode,
     "No se puede codificar «{1}»: indique una carpeta, no la raíz del sistema de archivos."},
    {Msg::kPasswordUnusableByFormat,
     "Esta contraseña no se puede usar con este formato. Elija otra contraseña."},
    {Msg::kContainerInsideFolder,
     "El contenedor no puede guardarse dentro de la carpeta que se codifica («{1}»)."},
    {Msg::kContainerExists,
     "Ya existe «{1}». Muévalo o cámbiele el nombre antes de codificar: podría ser la única "
     "copia de otra carpeta."},
    {Msg::kWipeWasInterrupted,
     "Una ejecución anterior se interrumpió mientras borraba «{1}». El contenedor «{2}» lo "
     "guarda todo: es el mismo archivo que se comprobó entero antes de borrar nada. Ya estaban "
     "sobrescritos (sus datos están en el contenedor): {3}. Restaure el contenedor o borre la "
     "carpeta."},
    {Msg::kWipeInterruptedContainerChanged,
     "Una ejecución anterior se interrumpió mientras borraba «{1}», y «{2}» ya no es el "
     "contenedor que se comprobó entonces: no se toca nada. Compruebe los dos antes de borrar "
     "cualquiera."},
    {Msg::kWipeInterruptedNoneOverwritten, "ninguno"},
    {Msg::kWipeRecordOfGoneFolderRemoved,
     "Una ejecución anterior se interrumpió al terminar de borrar «{1}»: la carpeta ya no "
     "existe, y se ha quitado la marca que aquel borrado dejó junto a «{2}»."},
    {Msg::kWipeInterruptedRestoredBeside,
     "Una ejecución anterior se interrumpió mientras borraba «{1}»: esa carpeta es la original "
     "a medio borrar (algunos archivos pueden estar sobrescritos) y no se ha tocado. La copia "
     "restaurada, completa, está en «{2}»."},
    {Msg::kAttributeTooLarge, "Un atributo de archivo ({1}) no cabe en el contenedor."},
    {Msg::kChangedWhileEncoding, "«{1}» ha cambiado mientras se codificaba la carpeta."},
    {Msg::kFolderReplacedWhileOpening,
     "«{1}» ha cambiado mientras se abría (otro programa la ha movido o sustituido)."},
    {Msg::kNotAFolder, "«{1}» no es una carpeta."},
    {Msg::kAlreadyWorkingOn,
     "Velmora ya está trabajando con «{1}» en otro proceso. Espere a que termine."},
    {Msg::kFolderNoLongerTheSame,
     "«{1}» ya no es la carpeta que se leyó: otro programa la ha cambiado o sustituido."},
    {Msg::kUnknownFolder, "Carpeta desconocida."},

    {Msg::kNameWithControlCharacters,
     "El nombre «{1}» contiene caracteres de control o «:», que no se pueden guardar."},
    {Msg::kSymbolicLink,
     "«{1}» es un enlace simbólico. Velmora no codifica carpetas con enlaces: al borrar los "
     "originales podría destruir datos de fuera de la carpeta."},
    {Msg::kNotFileNorFolder,
     "«{1}» no es un archivo ni una carpeta (es un dispositivo, un socket o una tubería) y no "
     "se puede guardar."},
    {Msg::kMountPoint,
     "«{1}» es un punto de montaje dentro de la carpeta (otro sistema de archivos o un montaje "
     "enlazado); no se puede codificar: al borrar los originales se destruirían datos de fuera "
     "de la carpeta."},
    {Msg::kHardLinks,
     "«{1}» tiene otros nombres (enlaces duros). Borrarlo destruiría también los datos de esos "
     "otros nombres."},
    {Msg::kFileTooLarge, "«{1}» ocupa 2 GiB o más; el formato no admite archivos tan grandes."},
    {Msg::kDifferOnlyInCase,
     "«{1}» y «{2}» solo se diferencian en mayúsculas y minúsculas: al restaurarlos se "
     "confundirían."},
    {Msg::kStoredPathTooLong,
     "La ruta «{1}» es demasiado larga para el contenedor (más de 255 caracteres dentro de la "
     "carpeta)."},
    {Msg::kNameEndsInSpace,
     "El nombre «{1}» termina en espacio y no se podría restaurar exactamente."},
    {Msg::kNameNotStorableWithPassword,
     "Con esta contraseña el nombre «{1}» no se puede guardar exactamente. Elija otra "
     "contraseña."},

    {Msg::kFileInUse,
     "Error al intentar eliminar el archivo {1}\nEl archivo está siendo utilizado"},
    {Msg::kOverwrittenInPart, "{1} Se ha sobrescrito solo en parte."},
    {Msg::kLeftBehind, "«{1}» queda: {2}"},
    {Msg::kOverwrittenBut, "sobrescrito, pero {1}"},
    {Msg::kOverwrittenNotFlushed, "sobrescrito, pero no se ha podido asegurar en disco ({1})"},
    {Msg::kDeletedWithoutOverwrite,
     "{1} Se ha borrado sin sobrescribir (su copia está en el contenedor)."},
    {Msg::kNeitherOverwrittenNorDeleted, "no se ha podido sobrescribir ni borrar ({1})"},
    {Msg::kChangedSinceRead,
     "«{1}» ha cambiado desde que se leyó la carpeta; no se ha sobrescrito ni borrado."},
    {Msg::kCancelledDuringWipe,
     "Cancelado. El contenedor «{1}» está completo y se conserva. De la carpeta «{2}» quedan "
     "{3} sin tocar"},
    {Msg::kCancelledNoneHalfDone, "; ninguno queda a medio sobrescribir."},
    {Msg::kCancelledSomeLeft, ", y {1} que el borrado ha tenido que dejar."},
    {Msg::kWipeLeftSome,
     "El contenedor «{1}» está completo, pero la carpeta no se ha podido borrar del todo: "
     "quedan {2} y {3}: {4}."},
    {Msg::kOneFile, "{1} archivo"},
    {Msg::kManyFiles, "{1} archivos"},
    {Msg::kOneFolder, "{1} carpeta"},
    {Msg::kManyFolders, "{1} carpetas"},
    {Msg::kQuoted, "«{1}»"},

    {Msg::kDecodingCaption, "Decodificando..."},
    {Msg::kNotAContainer, "«{1}» no es un contenedor de Velmora (no termina en .zol)."},
    {Msg::kNotRestorableHere, "El contenedor no se puede restaurar aquí: el nombre «{1}» {2}"},
    {Msg::kNamePartTooLong, "tiene una parte demasiado larga para este sistema de archivos."},
    {Msg::kPathTooLongForSystem, "daría una ruta más larga de lo que admite este sistema."},
    {Msg::kChangedWhileReading,
     "«{1}» ha cambiado mientras se leía (otro programa lo ha movido o sustituido)."},
    {Msg::kTooManyRestoredCopies, "Ya existen demasiadas copias restauradas de «{1}»."},
    {Msg::kDamagedMissingFolder, "El contenedor está dañado: falta la carpeta de «{1}»."},
    {Msg::kRestoredTreeChanged,
     "La carpeta restaurada «{1}» ha cambiado mientras se restauraba (otro programa ha movido "
     "o sustituido alguna de sus carpetas). El contenedor se conserva."},
    {Msg::kRestoredButContainerChanged,
     "La carpeta se ha restaurado, pero «{1}» ha cambiado mientras se restauraba y no se ha "
     "borrado."},
    {Msg::kContainerEndsEarly, "El contenedor termina antes de lo esperado."},
    {Msg::kDamagedEndsEarly, "El contenedor está dañado: termina antes de lo esperado."},

    {Msg::kDamagedOrNotAContainer,
     "El contenedor está dañado o no es un contenedor de Velmora: {1}"},
    {Msg::kReadOutsideFile, "Lectura fuera del archivo."},
    {Msg::kShorterThanHeader, "es más corto que su cabecera."},
    {Msg::kUnknownNameWidth, "el ancho de los nombres ({1}) no existe."},
    {Msg::kNegativeEntryCount, "el número de entradas es negativo."},
    {Msg::kRecordsDoNotFit, "sus registros no caben en el archivo."},
    {Msg::kNegativeEntrySize, "la entrada {1} tiene un tamaño negativo."},
    {Msg::kDataMissingAtEnd, "faltan datos al final del archivo."},
    {Msg::kDamagedOrUnsafeName, "El contenedor está dañado o no es seguro: el nombre «{1}» {2}"},
    {Msg::kNameWithoutLeadingBackslash, "no empieza por \\."},
    {Msg::kFolderWithoutFinalBackslash, "es una carpeta que no termina en \\."},
    {Msg::kFileWithFinalBackslash, "es un archivo que termina en \\."},
    {Msg::kNameWithForbiddenCharacters, "contiene caracteres no permitidos."},
    {Msg::kStoredNameEndsInSpace, "termina en espacio."},
    {Msg::kNameWithEmptyPart, "tiene una parte vacía, «.» o «..»."},
    {Msg::kNameTwice, "aparece dos veces."},
    {Msg::kDamagedNoRootEntry,
     "El contenedor está dañado: no tiene ninguna entrada en su carpeta principal."},
    {Msg::kFileAndFolder, "es un archivo y a la vez una carpeta."},
    {Msg::kInFolderNotCreated, "está en una carpeta que el contenedor no crea."},

    {Msg::kWrongPassword, "Contraseña incorrecta."},
    {Msg::kCharacterDoesNotFitKey,
     "Esta contraseña no se puede usar: el carácter «{1}» no cabe en la clave en ese lugar. "
     "Elija otra contraseña."},
    {Msg::kDivisionByZero, "División por cero"},

    {Msg::kUnrepresentableCharacters, "El nombre tiene caracteres que no se pueden representar."},
    {Msg::kUnrepresentableName,
     "El nombre «{1}» tiene caracteres que Velmora no puede guardar (fuera de Windows-1252)."},
    {Msg::kNameWithBackslash,
     "El nombre «{1}» contiene una barra invertida (\\), que Velmora no puede guardar."},
    {Msg::kNameNotUtf8,
     "El nombre «{1}» no es texto UTF-8 válido, y un contenedor sellado guarda los nombres en "
     "UTF-8."},

    {Msg::kFailedAt, "{1} «{2}»: {3}"},
    {Msg::kCannotFind, "No se puede encontrar"},
    {Msg::kCannotFindPath, "No se puede encontrar «{1}»."},
    {Msg::kCannotResolvePath, "No se puede resolver la ruta"},
    {Msg::kCannotInspect, "No se puede consultar"},
    {Msg::kCannotOpen, "No se puede abrir"},
    {Msg::kCannotOpenFolder, "No se puede abrir la carpeta"},
    {Msg::kCannotRead, "No se puede leer"},
    {Msg::kCannotReadFolder, "No se puede leer la carpeta"},
    {Msg::kCannotWrite, "No se puede escribir"},
    {Msg::kCannotFlush, "No se puede asegurar"},
    {Msg::kCannotFlushToDisk, "No se puede asegurar en disco"},
    {Msg::kCannotClose, "No se puede cerrar"},
    {Msg::kCannotLock, "No se puede bloquear"},
    {Msg::kCannotDeleteFile, "No se puede eliminar el archivo"},
    {Msg::kCannotMakeFolder, "No se puede crear la carpeta"},
    {Msg::kCannotRemoveFolder, "No se puede eliminar la carpeta"},
    {Msg::kCannotRename, "No se puede renombrar"},
    {Msg::kCannotGiveName, "No se puede dar su nombre a"},
    {Msg::kCannotReadAttributes, "No se pueden leer los atributos de"},
    {Msg::kCannotChangeAttributes, "No se pueden cambiar los atributos de"},
    {Msg::kCannotChangeTime, "No se puede cambiar la fecha de"},
    {Msg::kCannotChangePermissions, "No se pueden cambiar los permisos de"},
    {Msg::kCannotFindCurrentFolder, "No se puede saber la carpeta actual"},
    {Msg::kCannotFindProgramFolder, "No se puede saber la carpeta del programa"},

    {Msg::kReasonMissing, "no existe."},
    {Msg::kReasonNoPermission, "no hay permiso."},
    {Msg::kReasonExists, "ya existe."},
    {Msg::kReasonPathPartNotFolder, "una parte de la ruta no es una carpeta."},
    {Msg::kReasonIsFolder, "es una carpeta."},
    {Msg::kReasonFolderNotEmpty, "la carpeta no está vacía."},
    {Msg::kReasonDiskFull, "no queda espacio en el disco."},
    {Msg::kReasonFileTooLarge, "supera el tamaño de archivo permitido."},
    {Msg::kReasonQuotaExceeded, "se ha superado la cuota de disco."},
    {Msg::kReasonDiskError, "error de entrada/salida del disco."},
    {Msg::kReasonReadOnlyDisk, "el disco es de solo lectura."},
    {Msg::kReasonInUse, "el archivo está siendo utilizado."},
    {Msg::kReasonSymbolicLink, "es un enlace simbólico."},
    {Msg::kReasonLinkOrJunction, "es un enlace simbólico o un punto de unión."},
    {Msg::kReasonNameTooLong, "el nombre es demasiado largo."},
    {Msg::kReasonTooManyOpen, "hay demasiados archivos abiertos."},
    {Msg::kReasonNotSupported, "el sistema de archivos no lo admite."},
    {Msg::kReasonNotOpen, "el archivo no está abierto."},
    {Msg::kReasonSystemError, "error del sistema {1}."},
    {Msg::kReasonSystemErrorWithText, "error del sistema {1} ({2})."},

    {Msg::kNotARegularFile,
     "«{1}» no es un archivo normal (es una carpeta, una tubería o un dispositivo); no se abre."},
    {Msg::kNameEndsInDotOrSpace,
     "termina en punto o en espacio, que Windows no admite en un nombre."},
    {Msg::kCharacterWindowsRefuses,
     "contiene el carácter «{1}», que Windows no admite en un nombre."},
    {Msg::kControlCharacterWindowsRefuses,
     "contiene un carácter de control (código {1}), que Windows no admite en un nombre."},
    {Msg::kWindowsDeviceName, "es el nombre del dispositivo {1} de Windows y no se puede crear."},

    {Msg::kCannotOpenContainer, "No se puede abrir el contenedor «{1}»: {2}"},
    {Msg::kContainerNameMissing,
     "No se puede abrir el contenedor «/C»: falta su nombre delante de /C."},
    {Msg::kFolderNameMissing,
     "No se puede codificar «/S»: falta el nombre de la carpeta detrás de /S."},

    {Msg::kTypePasswordToEncode, "Escriba la contraseña:"},
    {Msg::kTypePasswordToDecode, "Escribe la contraseña:"},
    {Msg::kRepeatPassword, "Repita la contraseña:"},
    {Msg::kPasswordUnusableCharacters,
     "La contraseña tiene caracteres que no se pueden usar. Escríbala sin ellos."},
    {Msg::kPasswordTooShort, "La contraseña debe tener al menos {1} caracteres."},
    {Msg::kPasswordTooLong, "La contraseña puede tener como máximo {1} caracteres."},
    {Msg::kPasswordTooManyBytes,
     "La contraseña es demasiado larga: puede ocupar como máximo {1} bytes."},
    {Msg::kPasswordsDiffer, "Las contraseñas son diferentes."},

    {Msg::kCancelar, "Cancelar"},
    {Msg::kOk, "Ok"},
    {Msg::kAceptar, "Aceptar"},
    {Msg::kAceptarButton, "ACEPTAR"},
    {Msg::kMorePrograms, "Más Programas..."},
    {Msg::kMoreMorePrograms, "More Más Programas..."},
    {Msg::kVelmoraHelp, "Ayuda de Velmora"},
    {Msg::kInstructions,
     "Para Encriptar una carpeta, pulse el botón derecho del mouse, y seleccione "
     "\"Encriptar..\""},

    {Msg::kUsage,
     "uso: velmora-cli seal CARPETA [--keep] [-C DESTINO] [CONTRASEÑA] [--timings]\n"
     "     velmora-cli encode CARPETA [--keep] [-C DESTINO] [CONTRASEÑA] [--timings]\n"
     "     velmora-cli decode CONTENEDOR.zol [--keep] [CONTRASEÑA] [--original-case]\n"
     "     velmora-cli decode CONTENEDOR.zol --salvage [--salvage-partial] [CONTRASEÑA]\n"
     "     velmora-cli extract CONTENEDOR.zol RUTA... [-C DESTINO] [CONTRASEÑA]\n"
     "     velmora-cli recover CONTENEDOR.zol [--keep] [--original-case]\n"
     "     velmora-cli convert CONTENEDOR.zol [CONTRASEÑA] [--recover]\n"
     "     velmora-cli list CONTENEDOR.zol [CONTRASEÑA] [--json]\n"
     "     velmora-cli verify CONTENEDOR.zol [CONTRASEÑA]\n"
     "     velmora-cli repair CONTENEDOR.zol [CONTRASEÑA]\n"
     "     velmora-cli register\n"
     "     velmora-cli unregister\n"
     "     velmora-cli --version\n"
     "CONTRASEÑA: --password-stdin, --password-file ARCHIVO o --password-fd N\n"
     "\n"
     "seal      guarda CARPETA en un contenedor sellado NOMBRE.zol (NOMBRE es el de la\n"
     "          carpeta) en la carpeta actual (o en DESTINO): cifrado de verdad\n"
     "          (Argon2id y XChaCha20-Poly1305), con comprobación de integridad y los\n"
     "          nombres, fechas y permisos exactos; después sobrescribe cada archivo de\n"
     "          CARPETA con bytes 0xFF y la borra.\n"
     "encode    lo mismo con el formato antiguo, solo para intercambiar con quien\n"
     "          usa el programa de siempre: no protege de verdad.\n"
     "decode    restaura CONTENEDOR.zol (de cualquier tipo) en una carpeta a su lado\n"
     "          (NOMBRE, NOMBRE (2), ...) y después borra el contenedor. Los nombres de\n"
     "          un contenedor antiguo vuelven en mayúsculas. Con --salvage (sellado,\n"
     "          versión 2), restaura en «NOMBRE (rescatado)» cada archivo cuyos bloques\n"
     "          están enteros, nombra los perdidos y no borra el contenedor.\n"
     "extract   restaura solo las RUTAs dadas (como las muestra list; una carpeta,\n"
     "          con todo lo que contiene) de un contenedor sellado de la versión 2 en\n"
     "          NOMBRE junto a él (o en DESTINO), leyendo solo sus bloques; no borra\n"
     "          el contenedor.\n"
     "recover   restaura un contenedor antiguo como decode, sin su contraseña: la clave\n"
     "          sale de su cabecera, y dice por qué no ha hecho falta la contraseña.\n"
     "convert   convierte un contenedor antiguo en uno sellado con el mismo nombre, sin\n"
     "          escribir nunca su contenido descifrado en el disco: pide la contraseña\n"
     "          antigua (con --recover, deduce la clave) y después la nueva; los nombres\n"
     "          quedan como se guardaron. Solo cuando el sellado se ha leído de nuevo del\n"
     "          disco y coincide, sobrescribe el antiguo con bytes 0xFF y lo borra.\n"
     "list      muestra las entradas de un contenedor sin extraer nada (con --json,\n"
     "          un objeto JSON por línea y entrada).\n"
     "verify    comprueba un contenedor sin escribir nada: uno sellado, de principio a\n"
     "          fin (la versión 2: cada bloque, su paridad y las copias del índice y de\n"
     "          la cabecera, y nombra lo dañado); de uno antiguo, solo lo que su\n"
     "          estructura permite.\n"
     "repair    reescribe un contenedor sellado dañado que su paridad rehace (o uno de\n"
     "          la versión 1, que pasa a la versión 2) junto a él, lo comprueba leído\n"
     "          del disco y solo entonces lo pone en lugar del dañado; uno sano no se toca.\n"
     "register  escribe para este usuario el tipo de archivo \".zol\" y las órdenes de\n"
     "          carpeta \"Encriptar...\" y \"Encriptar (seguro)...\" (registro y archivos\n"
     "          del escritorio), como hace velmora al abrirse sin argumento.\n"
     "unregister  quita lo que register escribió para este usuario.\n"
     "\n"
     "  --keep            conserva los originales (encode, seal) o el contenedor (decode,\n"
     "                    recover)\n"
     "  -C DESTINO        escribe el contenedor en la carpeta DESTINO (encode, seal) o lo\n"
     "                    extraído (extract)\n"
     "  --password-stdin  lee la contraseña como una línea de la entrada estándar\n"
     "                    (convert: una línea con la antigua, salvo con --recover, y otra\n"
     "                    con la nueva)\n"
     "  --password-file ARCHIVO  lo mismo, del archivo ARCHIVO\n"
     "  --password-fd N   lo mismo, del descriptor abierto N (Linux)\n"
     "  --json            list: un objeto JSON por entrada (name, kind, size, time,\n"
     "                    attributes, permissions)\n"
     "  --version         muestra la versión\n"
     "  --original-case   decode, recover: los nombres de un contenedor antiguo como se\n"
     "                    guardaron, sin pasarlos a mayúsculas\n"
     "  --recover         convert: la clave antigua se deduce de la cabecera\n"
     "  --timings         encode, seal: dice cuánto han tardado el empaquetado y el borrado\n"
     "  --salvage-partial  decode --salvage: restaura también cada archivo con bloques\n"
     "                    perdidos, con ceros en su lugar, como «NOMBRE (incompleto).ext»,\n"
     "                    y dice cuántos bytes perdió cada uno\n"
     "  --allow-costly-key  decode, extract, list, verify, repair: deriva la clave aunque la "
     "cabecera\n"
     "                    pida más de cuatro veces el coste habitual (sin la opción, se\n"
     "                    rechaza con estado 3 antes de pedir la contraseña)\n"
     "\n"
     "La contraseña se pide en el terminal sin mostrarla (dos veces al codificar), una\n"
     "vez comprobado lo que no la necesita (la carpeta, el contenedor).\n"
     "Contenedor sellado: al menos {3} caracteres, cualesquiera; mayúsculas y minúsculas\n"
     "son distintas. Formato antiguo: de {1} a {2} caracteres; mayúsculas y minúsculas\n"
     "valen lo mismo. Ctrl-C (y SIGTERM, SIGHUP) equivale a \"Cancelar\"; durante el\n"
     "borrado para en cuanto termina el archivo en curso.\n"
     "Estado de salida: 0 hecho (verify: contenedor sano), 1 contraseña incorrecta o\n"
     "ausente, 2 uso, 3 entrada rechazada (contenedor dañado, árbol inseguro, clave que\n"
     "no se puede deducir o cuyo coste no se ha aceptado, contenedor ya existente o ya\n"
     "sellado, nombres que este sistema confundiría), 4 fallo durante el trabajo\n"
     "(convert: el contenedor antiguo sigue como estaba), 5 el contenedor está completo\n"
     "pero parte de la carpeta (convert: el contenedor antiguo) no se ha podido borrar,\n"
     "6 contenedor dañado que «velmora-cli repair» repara entero (verify), 130 cancelado.\n"},
    {Msg::kOutputLost,
     "velmora-cli: aviso: parte de la salida no se ha podido escribir (la salida está "
     "cerrada)."},
    {Msg::kCancelled, "Cancelado."},
    {Msg::kNoPasswordReceived, "No se ha recibido ninguna contraseña."},
    {Msg::kPasswordFileUnreadable, "No se puede leer la contraseña del archivo «{1}»."},
    {Msg::kPasswordDescriptorUnreadable, "No se puede leer la contraseña del descriptor {1}."},
    {Msg::kListSummary, "{1} entradas, registros de {2} bytes, atributos de la carpeta {3}"},
    {Msg::kColumnAttributes, "atrib"},
    {Msg::kColumnParentAttributes, "padre"},
    {Msg::kColumnSize, "bytes"},
    {Msg::kColumnName, "nombre"},
    {Msg::kFolderSize, "<carpeta>"},
    {Msg::kTimings, "tiempos: empaquetado {1} s, borrado {2} s"},
    {Msg::kColumnPermissions, "permisos"},
    {Msg::kColumnTime, "modificado (UTC)"},
    {Msg::kSealedListSummary, "contenedor sellado: {1} entradas, {2} archivos, {3} bytes"},
    {Msg::kSealedSound,
     "El contenedor sellado está completo y es auténtico: {1} entradas, {2} archivos, {3} "
     "bytes."},
    {Msg::kLegacyStructureSound,
     "La estructura del contenedor es correcta: {1} entradas, {2} archivos, {3} bytes."},
    {Msg::kLegacyHasNoIntegrity,
     "Este tipo de contenedor no tiene ninguna comprobación de integridad: un byte cambiado en "
     "sus datos no se puede detectar. Un contenedor sellado sí la tiene."},

    {Msg::kContainerTypeTitle, "Carpeta de Archivos Encriptada por Velmora"},
    {Msg::kFolderVerb, "Encriptar..."},
    {Msg::kSealedFolderVerb, "Encriptar (seguro)..."},
    {Msg::kRemovedAbandonedPartial,
     "Se ha eliminado «{1}», el contenedor a medio escribir que dejó una codificación "
     "interrumpida."},
    {Msg::kRemovedAbandonedConversion,
     "Se ha eliminado «{1}», el contenedor sellado que dejó a medias una conversión "
     "interrumpida (el contenedor antiguo sigue entero)."},
    {Msg::kLegacyNameGivenBack,
     "Una conversión interrumpida dejó «{1}» con otro nombre: lo ha recuperado y se ha "
     "eliminado «{2}», el contenedor sellado que no llegó a tomarlo."},
    {Msg::kAbandonedLegacyDestroyed,
     "Se ha sobrescrito y eliminado «{1}», el contenedor antiguo que una conversión "
     "interrumpida no llegó a borrar («{2}» ya es el contenedor sellado)."},
    {Msg::kWrittenDiffersFromFolder,
     "El contenedor, leído de nuevo del disco, no coincide con la carpeta ({1}). No se ha "
     "borrado nada de la carpeta, y el contenedor defectuoso se ha eliminado."},
    {Msg::kWrittenBytesDiffer, "lo leído no es lo que se escribió"},
    {Msg::kNotSealed, "No es un contenedor sellado."},
    {Msg::kSealedDamaged, "El contenedor sellado está dañado: {1}"},
    {Msg::kSealedShorterThanHeader, "es más corto que su cabecera."},
    {Msg::kSealedUnknownVersion,
     "su versión ({1}) no es conocida; quizá lo creó una versión más nueva de Velmora."},
    {Msg::kSealedHeaderChecksum, "su cabecera no coincide con su suma de comprobación."},
    {Msg::kSealedUnknownKdf, "su método de derivación de la clave ({1}) no es conocido."},
    {Msg::kSealedLimitsOutOfRange,
     "los límites de la derivación de la clave ({1} pasadas, {2} bytes) están fuera de lo "
     "admitido."},
    {Msg::kSealedChunkSizeOutOfRange,
     "el tamaño de sus bloques ({1} bytes) está fuera de lo admitido."},
    {Msg::kSealedMessageNotAuthentic,
     "el bloque {1} no es auténtico: se ha cambiado, movido, repetido o quitado algún bloque."},
    {Msg::kSealedNoFinalMessage, "está cortado: le falta el último bloque."},
    {Msg::kSealedDataAfterEnd, "tiene datos después de su último bloque."},
    {Msg::kSealedEndsEarly, "su contenido termina antes de lo que dice su índice."},
    {Msg::kSealedContentLeftOver, "su contenido sigue después de lo que dice su índice."},
    {Msg::kSealedEntryCountWrong, "su índice dice tener {1} entradas, lo que no es posible."},
    {Msg::kSealedBadEntry, "la entrada {1} («{2}») {3}"},
    {Msg::kSealedEntryNotUtf8, "no es UTF-8 válido."},
    {Msg::kSealedEntryForbiddenCharacter, "contiene «\\» o un carácter nulo."},
    {Msg::kSealedEntryTooLong, "tiene una ruta o una parte demasiado larga."},
    {Msg::kSealedEntryNotRoot, "no es la carpeta principal, que debe ser la primera entrada."},
    {Msg::kSealedEntryBadFields, "tiene un tipo, un tamaño, una fecha o unos permisos no válidos."},
    {Msg::kSealedEntryTooLarge, "dice ocupar más de lo que cabe en el contenedor."},

    {Msg::kSealedNameNotStorable,
     "El nombre «{1}» no se puede guardar en un contenedor sellado: {2}"},
    {Msg::kSealedParametersOutOfRange,
     "Los límites de la clave o el tamaño de bloque pedidos para el contenedor sellado están "
     "fuera de lo admitido."},
    {Msg::kSealedKeyDerivationFailed, "No hay memoria suficiente para derivar la clave ({1} MiB)."},
    {Msg::kSealedOutOfMemory, "No hay memoria suficiente para el contenedor sellado."},
    {Msg::kCryptoUnavailable, "No se ha podido iniciar la biblioteca criptográfica (libsodium)."},

    {Msg::kKeyFoundWithoutPassword,
     "No ha hecho falta la contraseña de «{1}»: la cabecera de un contenedor antiguo guarda la "
     "clave cifrada consigo misma, y de esos 15 bytes sale la clave (de las dos posibles, la que "
     "hace empezar por «\\» cada nombre guardado). El formato antiguo no protege sus "
     "contenidos."},
    {Msg::kKeyNotFoundNoneFits,
     "La clave no se puede deducir: ninguna de las claves posibles encaja con la cabecera y los "
     "nombres guardados. El contenedor está dañado."},
    {Msg::kKeyNotFoundBothFit,
     "La clave no se puede deducir: las dos claves posibles encajan con la cabecera y ningún "
     "nombre guardado permite elegir entre ellas."},
    {Msg::kSealedKeyCannotBeFound,
     "«{1}» es un contenedor sellado: su clave no se puede deducir sin la contraseña."},
    {Msg::kNamesDifferOnlyInCaseHere,
     "El contenedor no se puede restaurar aquí con los nombres tal como se guardaron: «{1}» y "
     "«{2}» solo se diferencian en mayúsculas y minúsculas, y este sistema los confundiría."},
    {Msg::kAlreadySealed, "«{1}» ya es un contenedor sellado."},
    {Msg::kConvertingCaption, "Convirtiendo..."},
    {Msg::kConvertAskLegacyPassword, "Primero, la contraseña del contenedor antiguo."},
    {Msg::kConvertAskSealedPassword,
     "Ahora, la contraseña nueva del contenedor sellado (al menos {1} caracteres; mayúsculas y "
     "minúsculas son distintas)."},
    {Msg::kConvertedContainer,
     "«{1}» es ahora un contenedor sellado; el contenedor antiguo se ha sobrescrito y borrado."},
    {Msg::kConversionFailedLegacyKept, "{1} El contenedor antiguo sigue como estaba."},
    {Msg::kConvertedDiffers,
     "El contenedor sellado, leído de nuevo del disco, no coincide con el antiguo ({1}); se ha "
     "eliminado."},
    {Msg::kLegacyKeptAs, "No ha podido recuperar su nombre: ahora se llama «{1}»."},
    {Msg::kConvertedLegacyLeft,
     "«{1}» es ahora un contenedor sellado, pero el contenedor antiguo, que ahora se llama «{2}», "
     "no se ha podido sobrescribir y borrar: {3}"},
    {Msg::kConvertedLegacyChanged,
     "otro programa lo ha cambiado o lo está usando; se ha dejado como está."},
    {Msg::kStagingLeftoverRemoved,
     "Se han sobrescrito y borrado los restos de una restauración interrumpida de «{1}»."},
    {Msg::kStagingLeftoverKept,
     "Quedan restos de una restauración interrumpida de «{1}» en «{2}» que no se han podido "
     "borrar."},
    {Msg::kDriveCannotRestore,
     "Velmora no puede restaurar un contenedor en la unidad de «{1}»: su sistema de archivos "
     "pierde lo que guarda una carpeta al cambiarle el nombre. No se ha borrado nada; escriba el "
     "contenedor en otra unidad."},
    {Msg::kStagedTreeChanged,
     "«{1}» ha cambiado mientras se restauraba (otro programa lo ha movido o sustituido). No se "
     "ha restaurado nada y el contenedor se conserva."},
    {Msg::kRestoredWithoutDetails,
     "El sistema de archivos de «{1}» no admite permisos, atributos o fechas: se ha restaurado "
     "sin ellos."},
    {Msg::kStillBeingWritten,
     "Otro programa todavía está escribiendo «{1}» (lo tiene abierto o lo ha cambiado mientras "
     "se leía). No se ha restaurado ni borrado nada: vuelve a intentarlo cuando termine."},
    {Msg::kSealedGeometryOutOfRange,
     "sus grupos de bloques o sus longitudes están fuera de lo admitido."},
    {Msg::kSealedChunkNotRebuilt,
     "el bloque {1} no es auténtico y su grupo no tiene paridad suficiente para rehacerlo."},
    {Msg::kSealedSizeWrong, "su tamaño ({1} bytes) no es el que dice su cabecera ({2} bytes)."},
    {Msg::kSealedChunksRebuilt,
     "El contenedor estaba dañado: se han rehecho {1} bloques con su paridad."},
    {Msg::kWrittenIndexDiffers, "su índice no es el de la carpeta"},
    {Msg::kPasswordNotUtf8, "La contraseña no es texto UTF-8 válido."},
    {Msg::kPasswordEmpty, "La contraseña está vacía. Escriba una contraseña."},
    {Msg::kPasswordCharactersNotAdmitted,
     "La contraseña tiene caracteres que no se admiten (de control, o que Unicode no define). "
     "Escríbala sin ellos."},
    {Msg::kCostlyKey,
     "La cabecera del contenedor pide para derivar su clave {1} MiB de memoria y {2} pasadas, "
     "más de cuatro veces lo habitual: tardaría unos {3} segundos."},
    {Msg::kCostlyKeyQuestion,
     "{1} Un contenedor alterado puede pedirlo para ocupar el equipo. ¿Derivar la clave de "
     "todos modos?"},
    {Msg::kCostlyKeyRefused, "{1} No se ha derivado: si confía en él, use --allow-costly-key."},
    {Msg::kYes, "Sí"},
    {Msg::kNo, "No"},
    {Msg::kSealedRepairable,
     "El contenedor sellado está dañado, pero su paridad lo rehace entero; dañado: {1}. "
     "«velmora-cli repair» lo repara."},
    {Msg::kSealedDamagedDataChunks, "{1} bloques de datos"},
    {Msg::kSealedDamagedParitySlots, "{1} bloques de paridad"},
    {Msg::kSealedDamagedIndexCopy, "{1} bloques de la copia del índice"},
    {Msg::kSealedDamagedHeaderCopies, "{1} copias de la cabecera"},
    {Msg::kSealedDamagedLength, "el tamaño del archivo ({1} bytes en vez de {2})"},
    {Msg::kSealedBeyondRepair,
     "El contenedor sellado está dañado sin remedio: {1} bloques no se pueden rehacer con su "
     "paridad. Archivos afectados ({2}):"},
    {Msg::kSealedBeyondRepairIndexLost,
     "El contenedor sellado está dañado sin remedio: {1} bloques no se pueden rehacer con su "
     "paridad, y el índice no se puede leer: no se sabe qué archivos se han perdido."},
    {Msg::kSealedNothingToRepair, "«{1}» está completo y es auténtico: no hay nada que reparar."},
    {Msg::kSealedRepaired, "«{1}» se ha reescrito completo y auténtico."},
    {Msg::kRepairingCaption, "Reparando..."},
    {Msg::kRepairNotSealed,
     "«{1}» no es un contenedor sellado: solo se reparan los sellados (uno antiguo se convierte "
     "con «velmora-cli convert»)."},
    {Msg::kRepairFailedKept,
     "No se ha podido reparar el contenedor: {1} El contenedor dañado se conserva como estaba."},
    {Msg::kRepairedDiffers, "la copia reparada no coincide con lo leído ({1})."},
    {Msg::kSalvageNeedsVersion2,
     "«{1}» no es un contenedor sellado de la versión 2: solo de esos se leen los archivos "
     "uno a uno."},
    {Msg::kSealedIndexLost, "su índice no se puede rehacer: no se puede rescatar nada."},
    {Msg::kSalvagedSuffix, "(rescatado)"},
    {Msg::kSalvageLostFiles,
     "Archivos que no se han podido rescatar (tienen bloques dañados sin remedio): {1}."},
    {Msg::kExtractNotFound, "«{1}» no está en el contenedor: no se ha extraído nada."},
    {Msg::kRemovedAbandonedRepair, "Se ha borrado «{1}», que dejó una reparación interrumpida."},
    {Msg::kSalvageQuestion,
     "¿Rescatar lo que está intacto? Cada archivo que se lea entero y auténtico se restaurará en "
     "«{1}», junto al contenedor; el contenedor no se toca."},
    {Msg::kSalvageRescued, "Archivos rescatados en «{2}»: {1}. El contenedor sigue como estaba."},
    {Msg::kSalvageMoreLost, "y {1} más."},
    {Msg::kPartialMark, "(incompleto)"},
    {Msg::kSalvagePartialFiles,
     "Se han restaurado incompletos {1} archivos (con ceros donde sus bloques se perdieron):"},
    {Msg::kSalvagePartialFile, "  ({1} bytes perdidos, escritos como ceros)"},
    {Msg::kSalvagePartialAlone, "--salvage-partial solo se usa junto con --salvage."},
    {Msg::kDamagedNameGivenBack,
     "Una reparación interrumpida dejó «{1}» con otro nombre: lo ha recuperado y se ha "
     "eliminado «{2}», la copia reparada que no llegó a tomarlo."},

    {Msg::kSealingDialogWhat,
     "Encriptar (seguro): la carpeta «{1}» se guardará cifrada en «{2}», a su lado, y después "
     "se borrará (sobrescrita y eliminada)."},
    {Msg::kSealingDialogRule,
     "Contraseña: al menos {1} caracteres, escrita dos veces igual; cuentan mayúsculas, "
     "minúsculas y acentos."},
    {Msg::kOpeningDialogWhat,
     "Contenedor seguro «{1}»: la carpeta «{2}» se restaurará a su lado y después se borrará "
     "el contenedor."},
    {Msg::kOpeningDialogRule, "Contraseña: la misma con la que se encriptó, tal como se escribió."},
    {Msg::kPreparingKey, "Preparando la clave..."},
    {Msg::kSealedNotice, "La carpeta está guardada y cifrada en «{1}»."},
    {Msg::kRestoredNotice, "La carpeta está restaurada en «{1}»."},
    {Msg::kSealingDialogWhatElsewhere,
     "Encriptar (seguro): la carpeta «{1}» se guardará cifrada en «{2}» y después se borrará "
     "(sobrescrita y eliminada)."},
    {Msg::kMainWindowName, "Velmora"},
    {Msg::kPasswordBoxName, "Contraseña"},
    {Msg::kRepeatBoxName, "Repetición de la contraseña"},
    {Msg::kProgressName, "Progreso"},
    {Msg::kProgressValue, "{1} %"},
    {Msg::kLogoName, "Logotipo de Velmora"},
    {Msg::kFolderMenuPictureName, "Menú de una carpeta, con «Encriptar...» señalado"},
    {Msg::kSmilingFaceName, "Cara sonriente"},
};

constexpr std::size_t kMessages = static_cast<std::size_t>(Msg::kCount);
static_assert(std::size(kTexts) == kMessages, "every message has one text");

constexpr bool InOrder() {
    for (std::size_t i = 0; i < kMessages; ++i)
        if (static_cast<std::size_t>(kTexts[i].message) != i)
            return false;
    return true;
}
static_assert(InOrder(), "the texts are in the order of Msg");

// Every text in Windows-1252, converted once. The texts are the program's
// own; one that had no Windows-1252 form would be a mistake in this file,
// which the messages test finds.
const std::vector<std::string>& Converted() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> texts;
        texts.reserve(kMessages);
        for (const Written& written : kTexts)
            texts.push_back(DisplayCp1252(written.text));
        return texts;
    }();
    return all;
}

}  // namespace

std::string Text(Msg message, std::initializer_list<std::string_view> parts) {
    const std::string& text = Converted()[static_cast<std::size_t>(message)];
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t place = text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}'
                                      ? static_cast<std::size_t>(text[i + 1] - '1')
                                      : parts.size();
        if (place < parts.size()) {
            out += parts.begin()[place];
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string_view FixedText(Msg message) {
    return Converted()[static_cast<std::size_t>(message)];
}

std::string_view Utf8Text(Msg message) {
    return kTexts[static_cast<std::size_t>(message)].text;
}

}  // namespace velmora
