#include "base/messages.h"
#include "container/conversion.h"
#include "container/conversion_leftovers.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/opened_container.h"
#include "container/restore_source.h"

namespace velmora {

// Nothing is written before the legacy container has been read and checked
// whole; from the sealed container's first byte to its name, a failure
// leaves the legacy container as it was; once the sealed container has the
// name, what stays of the legacy one is told, as a wipe tells what it left.
RunResult Engine::Convert(const EngineRequest& request) {
    Start(request);
    const std::string& password = request.password;
    const std::string& container = run_.state.FolderPath;
    if (!NamesAContainer(container))
        return Refuse(Text(Msg::kNotAContainer, {run_.files.paths().DisplayPath(container)}));
    GiveBackTheLegacyName(run_);
    RestoreSource source(run_);
    Conversion conversion(run_, source);
    try {
        const OpenedHeader header = source.Open();
        if (header.kind == ContainerKind::kSealed) {
            source.OpenFolder();
            DestroyAbandonedLegacy(run_, source.folder());
            ThrowFailure(
                Error{Text(Msg::kAlreadySealed, {run_.files.paths().DisplayPath(container)})});
        }
        conversion.ReadLegacy(header.legacy);
        source.OpenFolder();
    } catch (const EngineFailure& failure) {
        run_.files.CloseAll();
        return Refuse(failure.message);
    }
    try {
        conversion.WriteSealed(password);
        conversion.TakeName();
    } catch (const EngineFailure& failure) {
        return Fail(Text(Msg::kConversionFailedLegacyKept, {failure.message}));
    }
    const std::string left = conversion.DestroyLegacy();
    run_.files.CloseAll();
    if (!left.empty())
        run_.host.ShowMessage(Text(Msg::kConvertedLegacyLeft,
                                   {run_.files.paths().DisplayPath(container),
                                    run_.files.paths().DisplayPath(conversion.LegacyPath()), left}),
                              MessageIcon::kCritical);
    return Done(!left.empty());
}

}  // namespace velmora
