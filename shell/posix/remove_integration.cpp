// Removing a user's registration (`velmora-cli unregister`).
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/posix/desktop_files.h"
#include "shell/posix/desktop_integration.h"
#include "shell/posix/folder_verbs.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Every file a registration may have written, relative to $XDG_DATA_HOME,
// whatever the store holds now.
std::vector<std::string> RegistrationFiles(const fs::path& data) {
    std::vector<std::string> files = {std::string("mime/packages/") + kMimePackageFile,
                                      std::string("applications/") + kOpenDesktopFile,
                                      kServiceMenuPath};
    for (const FolderVerbKind& kind : kFolderVerbKinds)
        for (const std::string& path : {NemoActionPath(kind.id), FileManagerActionPath(kind.id),
                                        SendToPath(kind.id), NautilusScriptPath(VerbName(kind))})
            files.push_back(path);
    std::error_code ignored;
    for (const auto& size : fs::directory_iterator(data / "icons" / "hicolor", ignored)) {
        const std::string pixels = size.path().filename().string();
        files.push_back("icons/hicolor/" + pixels + "/mimetypes/" + kMimeIconName + ".png");
        files.push_back(VerbIconPath(kLegacyVerbIconName, pixels.substr(0, pixels.find('x'))));
    }
    return files;
}

}  // namespace

std::vector<std::string> RemoveDesktopIntegration(const DesktopFolders& folders) {
    const fs::path data = folders.data_home;
    std::vector<std::string> removed;
    std::error_code ignored;
    // The registry store and the wrappers: a folder of the program's own.
    if (fs::remove_all(data / "velmora", ignored) > 0)
        removed.push_back((data / "velmora").string());
    for (const std::string& file : RegistrationFiles(data)) {
        if (!fs::remove(data / file, ignored))
            continue;
        removed.push_back((data / file).string());
        RefreshCacheOf(file, folders);
    }
    const fs::path mimeapps = fs::path(folders.config_home) / "mimeapps.list";
    std::ifstream in(mimeapps, std::ios::binary);
    std::ostringstream existing;
    existing << in.rdbuf();
    const std::string kept = RemoveMimeAppsType(existing.str(), kMimeType);
    if (in && kept != existing.str()) {
        std::ofstream(mimeapps, std::ios::binary | std::ios::trunc) << kept;
        removed.push_back(mimeapps.string() + " (" + kMimeType + ")");
    }
    return removed;
}

}  // namespace velmora
