#include "container/open_any_container.h"

#include "container/legacy/legacy_kind.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_kind.h"

namespace velmora {

AnyContainer OpenAnyContainer(FileSystem& files, const std::string& native_path,
                              OpenedContainer& container, const OpenAnyOptions& options) {
    AnyContainer found;
    auto wanted = [&](const std::string& path) {
        return !options.only_container_names || NamesAContainer(path);
    };
    files.SetNameCoding(SealedKind::kNameCoding);
    found.path = files.FromSystemPath(native_path, FileSystem::Given::kEntry);
    if (found.path && wanted(found.path.value())) {
        if (options.before_open)
            options.before_open(found.path.value());
        found.header = container.Open(found.path.value());
        if (found.sealed())
            return found;
        if (!found.header && FaultOf(found.header.error()) == SealedFault::kDamaged)
            found.damaged_sealed = found.header.error();
        container.Close();
    }
    files.SetNameCoding(LegacyKind::kNameCoding);
    found.header = Error{};
    found.path = files.FromSystemPath(native_path, FileSystem::Given::kEntry);
    if (found.path && wanted(found.path.value()))
        found.header = container.Open(found.path.value());
    return found;
}

Result<std::string> ResolveForSealing(FileSystem& files, const std::string& native_path) {
    files.SetNameCoding(SealedKind::kNameCoding);
    return files.FromSystemPath(native_path, FileSystem::Given::kEntry);
}

}  // namespace velmora
