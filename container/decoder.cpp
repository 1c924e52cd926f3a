#include <algorithm>

#include "cipher/key_derivation.h"
#include "container/legacy/container_reader.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/opened_container.h"
#include "container/legacy/password_check.h"
#include "container/path_helpers.h"

namespace velmora {

// Reads and checks everything the restore needs before any folder exists:
// the password first, from the header alone; then the records, one chunk at
// a time, each name checked as it is decoded, so that memory follows the
// entries really read and a damaged index stops at its first bad entry;
// last, names the file system could not hold once converted.
std::vector<DecodedEntry> Engine::ReadEntries(std::uint8_t& folder_attributes,
                                              std::uint8_t& width_code) {
    // The container stays open until it is deleted: what is restored and
    // what is deleted are the container that was read, whatever its name
    // comes to hold meanwhile. Its lock keeps a second run off it.
    OpenedContainer& container = opened_container_;
    const ContainerHeader header = OrFail(container.Open(state_.FolderPath));
    container_file_ = container.file();
    container_identity_ = container.identity();
    if (!OrFail(files_.TryLock(container_file_)))
        ThrowFailure(Error{"Velmora ya est\xE1 trabajando con \xAB" +
                           files_.DisplayPath(state_.FolderPath) +
                           "\xBB en otro proceso. Espere a que termine."});
    ByteSource& source = container.source();
    if (!PasswordMatches(tables_, header.PasswordCheck, state_.PasswordKey))
        ThrowFailure(Error{kWrongPassword});

    std::vector<DecodedEntry> entries;
    DecodedEntryCheck check(entries);
    OrFail(ForEachRecord(source, header, [&](const EntryRecord& record) {
        const bool folder = record.EntrySize == -1;
        entries.push_back(
            {DecodeStoredName(tables_, record.EncodedName, state_.PasswordKey, folder),
             record.EntrySize, record.ParentAttributes});
        return check.Add(entries.size() - 1);
    }));
    OrFail(check.Finish());
    CheckNameSizes(entries);
    folder_attributes = header.FolderAttributes;
    width_code = header.NameWidthCode;
    return entries;
}

// Every name must be one the restore folder's system can create, and fit
// it once converted to its own form (a Windows-1252 character may take
// three bytes), component by component and as a whole path under the
// longest restored root name.
void Engine::CheckNameSizes(const std::vector<DecodedEntry>& entries) {
    const std::string parent = ParentOf(state_.FolderPath);
    const std::string folder = parent.empty() ? OrFail(files_.CurrentFolder()) : parent;
    const std::size_t longest = OrFail(files_.LongestName(folder));
    const std::string& container = state_.FolderPath;
    const std::string widest_root = container.substr(0, container.size() - 4) + " (32767)";
    const std::size_t root_size = OrFail(files_.NativePathSize(widest_root));
    auto refuse = [&](const DecodedEntry& entry, const std::string& why) {
        ThrowFailure(Error{"El contenedor no se puede restaurar aqu\xED: el nombre \xAB" +
                           ShownName(entry.name) + "\xBB " + why});
    };
    for (const DecodedEntry& entry : entries) {
        std::size_t start = 1;
        while (start < entry.name.size()) {
            const std::size_t end = std::min(entry.name.find('\\', start), entry.name.size());
            const std::string component = entry.name.substr(start, end - start);
            if (component.size() * 3 > longest && files_.NativeNameSize(component) > longest)
                refuse(entry, "tiene una parte demasiado larga para este sistema de archivos.");
            if (const std::string why = files_.UncreatableName(component); !why.empty())
                refuse(entry, why);
            start = end + 1;
        }
        if (root_size + entry.name.size() * 3 > files_.LongestPath() &&
            root_size + OrFail(files_.NativePathSize(entry.name)) > files_.LongestPath())
            refuse(entry, "dar\xED"
                          "a una ruta m\xE1s larga de lo que admite este sistema.");
    }
}

RunResult Engine::Des_carpeta() {
    const std::string& container = state_.FolderPath;
    if (!NamesAContainer(container))
        return Refuse("\xAB" + files_.DisplayPath(container) +
                      "\xBB no es un contenedor de Velmora (no termina en .zol).");
    std::vector<DecodedEntry> entries;
    std::uint8_t folder_attributes = 0;
    std::uint8_t width_code = 0;
    try {
        entries = ReadEntries(folder_attributes, width_code);
        OpenContainerFolder();
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
