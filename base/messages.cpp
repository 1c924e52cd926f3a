#include "base/messages.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "base/result.h"

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
    {Msg::kFileTooLarge,
     "«{1}» ocupa 2 GiB o más; el formato no admite archivos tan grandes."},
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

    {Msg::kFileInUse, "Error al intentar eliminar el archivo {1}\nEl archivo está siendo utilizado"},
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

// UTF-8 to Windows-1252 for the characters the texts use: ASCII and the
// Latin-1 letters and signs, which Windows-1252 keeps at the same codes.
Result<std::string> Utf8ToCp1252(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            continue;
        }
        if ((lead & 0xE0) != 0xC0 || i + 1 >= text.size())
            return Error{"UTF-8"};
        const unsigned code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3Fu);
        if (code < 0xA0 || code > 0xFF)
            return Error{"UTF-8"};
        out += static_cast<char>(code);
    }
    return out;
}

// Every text in Windows-1252, converted once. The texts are the program's
// own; one that had no Windows-1252 form would be a mistake in this file,
// which the messages test finds.
const std::vector<std::string>& Converted() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> texts;
        texts.reserve(kMessages);
        for (const Written& written : kTexts) {
            Result<std::string> text = Utf8ToCp1252(written.text);
            texts.push_back(text ? std::move(text).value() : std::string(written.text));
        }
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

std::string_view Utf8Text(Msg message) {
    return kTexts[static_cast<std::size_t>(message)].text;
}

}  // namespace velmora
