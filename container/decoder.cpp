#include "base/messages.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/opened_container.h"
#include "container/restore.h"

namespace velmora {

RunResult Engine::Des_carpeta() {
    const std::string& container = run_.state.FolderPath;
    if (!NamesAContainer(container))
        return Refuse(Text(Msg::kNotAContainer, {run_.files.DisplayPath(container)}));
    Restore restore(run_);
    try {
        restore.ReadEntries();
        restore.OpenContainerFolder();
    } catch (const EngineFailure& failure) {
        run_.files.CloseAll();
        return Refuse(failure.message);
    }

    try {
        const std::vector<DecodedEntry>& entries = restore.entries();
        for (const DecodedEntry& entry : entries)
            if (entry.size >= 0)
                run_.state.TotalBytes += entry.size;
        restore.Crear_carpetas();
        restore.Extraer();
    } catch (const EngineFailure& failure) {
        return Fail(failure.message);
    }
    if (options_.show_restored_folder) {
        run_.host.HideMainWindow();
        run_.host.OpenFolder(run_.state.RestoredPath);
        Espera(1);
    }
    return {Outcome::kDone, ""};
}

}  // namespace velmora
