#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/result.h"
#include "container/opened_container.h"
#include "platform/file_system.h"

namespace velmora {

// What OpenAnyContainer found.
struct AnyContainer {
    // The container's program path, in its kind's name coding, or why the
    // path names nothing the program can hold.
    Result<std::string> path = Error{};
    // Its header, or why it could not be read (not read when the path
    // failed, nor for a name that is not a container's when only those are
    // opened).
    Result<OpenedHeader> header = Error{};
    // A sealed header found damaged under UTF-8 names: damage is told before
    // any password is asked, where the caller tells it.
    std::optional<Error> damaged_sealed;

    bool sealed() const { return header && header->kind == ContainerKind::kSealed; }
};

struct OpenAnyOptions {
    // A name that does not end in ".zol" is refused by the caller before a
    // password is asked: nothing is opened for it.
    bool only_container_names = false;
    // Runs once the path is known under UTF-8 names, before its header is
    // read (velmora-cli's repair gives back a damaged container's name).
    std::function<void(const std::string& path)> before_open;
};

// The one way a container the user names (`native_path`, as the system
// gives it) is opened by the program and velmora-cli alike: first as the
// sealed kind, with UTF-8 names (a sealed container's own name may hold any
// character); anything else again with Windows-1252 names, as the legacy
// kind always has. The file system is left in the name coding of the kind
// found, and `container` open on a sealed one (closed and opened again on a
// legacy one).
AnyContainer OpenAnyContainer(FileSystem& files, const std::string& native_path,
                              OpenedContainer& container, const OpenAnyOptions& options = {});

// A path the user names for a run that writes the sealed kind (a folder to
// seal, a legacy container to convert), resolved with that kind's names:
// the file system is left in UTF-8, every name exactly as the system gives
// it, whatever its language.
Result<std::string> ResolveForSealing(FileSystem& files, const std::string& native_path);

}  // namespace velmora
