#include "cli/commands.h"

#include <cstdio>

#include "cli/console.h"
#include "shell/posix/desktop_integration.h"

namespace velmora {

int Register(FileSystem& files) {
    RegistryStore store(RegistryStore::DefaultFile());
    RegisterShellIntegration(
        store,
        [&files] {
            Result<std::string> folder = files.ProgramFolder();
            return folder ? files.DisplayPath(folder.value()) : std::string();
        },
        [] {}, DesktopFolders::FromEnvironment());
    std::printf("%s\n", store.file().c_str());  // a native path already
    return kExitOk;
}

int Unregister() {
    for (const std::string& removed : RemoveDesktopIntegration(DesktopFolders::FromEnvironment()))
        WriteNativeOutput(removed + "\n");
    return kExitOk;
}

}  // namespace velmora
