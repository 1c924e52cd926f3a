#include "cipher/cp1252_case.h"
#include "container/container_reader.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/file_byte_source.h"
#include "container/password_check.h"

namespace velmora {

// Reads and checks everything the restore needs before any folder exists:
// the records, the password, and names that stay inside the restored folder.
std::vector<DecodedEntry> Engine::ReadEntries(std::uint8_t& folder_attributes,
                                              std::uint8_t& width_code) {
    const int container = OrFail(files_.Open(state_.FolderPath, OpenMode::kRead));
    const EntryInfo info = OrFail(files_.InspectOpen(container));
    FileByteSource source(files_, container, info.size);
    // Names are decoded as the records are read, so no record is kept; a
    // wrong key only gives names that are never used.
    std::vector<DecodedEntry> entries;
    const ContainerIndex index = OrFail(ReadContainerIndex(source, [&](EntryRecord&& record) {
        const bool folder = record.EntrySize == -1;
        entries.push_back({DecodeStoredName(record.EncodedName, state_.PasswordKey, folder),
                           record.EntrySize, record.ParentAttributes});
    }));
    OrFail(files_.Close(container));
    if (!PasswordMatches(tables_, index.header.PasswordCheck, state_.PasswordKey))
        ThrowFailure(
            Error{"Contrase\xF1"
                  "a incorrecta."});
    OrFail(CheckDecodedEntries(entries));
    folder_attributes = index.header.FolderAttributes;
    width_code = index.header.NameWidthCode;
    return entries;
}

RunResult Engine::Des_carpeta() {
    const std::string& container = state_.FolderPath;
    if (container.size() < 4 || ToUpperCp1252(container.substr(container.size() - 4)) != ".ZOL")
        return Refuse("\xAB" + files_.DisplayPath(container) +
                      "\xBB no es un contenedor de Velmora (no termina en .zol).");
    std::vector<DecodedEntry> entries;
    std::uint8_t folder_attributes = 0;
    std::uint8_t width_code = 0;
    try {
        entries = ReadEntries(folder_attributes, width_code);
    } catch (const EngineFailure& failure) {
        files_.CloseAll();
        return Refuse(failure.message);
    }

    try {
        state_.FoundCount = static_cast<std::int64_t>(entries.size());
        for (const DecodedEntry& entry : entries)
            if (entry.size >= 0)
                state_.TotalBytes += entry.size;
        Crear_carpetas(entries, folder_attributes);
        Extraer(entries, width_code);
    } catch (const EngineFailure& failure) {
        return Fail(failure.message);
    }
    if (options_.show_restored_folder) {
        host_.HideMainWindow();
        host_.OpenFolder(state_.RestoredPath);
        Espera(1);
    }
    return {Outcome::kDone, ""};
}

}  // namespace velmora
