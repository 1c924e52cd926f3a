#include "shell/posix/desktop_integration.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "shell/posix/desktop_files.h"
#include "shell/posix/folder_verbs.h"
#include "shell/registration.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string EnvironmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr fs::perms kExecutable = fs::perms::owner_all | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read |
                                  fs::perms::others_exec;
constexpr fs::perms kReadable =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

// Writes the file unless it already holds these bytes with this mode.
void WriteFile(const fs::path& path, const std::string& content, fs::perms mode) {
    std::error_code error;
    const bool same = fs::is_regular_file(path, error) && ReadFile(path) == content &&
                      (fs::status(path, error).permissions() & fs::perms::all) == mode;
    if (same)
        return;
    fs::create_directories(path.parent_path(), error);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    fs::permissions(path, mode, error);
}

}  // namespace

DesktopFolders DesktopFolders::FromEnvironment() {
    const std::string home = EnvironmentOr("HOME", ".");
    std::vector<std::string> system_data;
    std::istringstream dirs(EnvironmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty())
            system_data.push_back(dir);
    return {EnvironmentOr("XDG_DATA_HOME", home + "/.local/share"),
            EnvironmentOr("XDG_CONFIG_HOME", home + "/.config"), system_data};
}

void RenderDesktopIntegration(const RegistryStore& registry, const DesktopFolders& folders) {
    const fs::path data = folders.data_home;
    DesktopFiles files = FileTypeFiles(registry, folders.data_home);
    DesktopFiles verbs =
        FolderVerbFiles(RegisteredFolderVerbs(registry), folders.data_home, folders.system_data);
    files.insert(files.end(), verbs.begin(), verbs.end());
    // The type's and the legacy verb's icons at every size an earlier
    // registration left (from another icon file) are weighed as well.
    std::error_code ignored;
    for (const auto& size : fs::directory_iterator(data / "icons" / "hicolor", ignored)) {
        const std::string pixels = size.path().filename().string();
        for (const std::string& icon :
             {"icons/hicolor/" + pixels + "/mimetypes/" + kMimeIconName + ".png",
              VerbIconPath(kLegacyVerbIconName, pixels.substr(0, pixels.find('x')))})
            if (fs::exists(data / icon, ignored) && ProvidedSystemWide(icon, folders))
                fs::remove(data / icon, ignored);
    }

    std::set<std::string> refreshed;
    bool entry_is_users = false;
    for (const DesktopFile& file : files) {
        const fs::path path = data / file.path;
        if (ProvidedSystemWide(file.path, folders)) {
            if (!fs::remove(path, ignored))
                continue;
        } else {
            WriteFile(path, file.content, file.executable ? kExecutable : kReadable);
            entry_is_users |= file.path == std::string("applications/") + kOpenDesktopFile;
        }
        // The caches are rebuilt for every file of theirs that is there or
        // was just removed (an earlier run may have lacked the helpers).
        const std::string cache_folder = file.path.substr(0, file.path.find('/'));
        if (refreshed.insert(cache_folder).second)
            RefreshCacheOf(file.path, folders);
    }

    if (!entry_is_users)
        return;
    const fs::path mimeapps = fs::path(folders.config_home) / "mimeapps.list";
    const std::string existing = fs::exists(mimeapps) ? ReadFile(mimeapps) : "";
    const std::string merged = MergeMimeApps(existing, kMimeType, kOpenDesktopFile);
    if (merged != existing)
        WriteFile(mimeapps, merged, kReadable);
}

void RegisterShellIntegration(RegistryStore& store,
                              const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events,
                              const DesktopFolders& folders) {
    RegistrationContext context{store, program_folder, '/', "velmora", pump_events};
    RegistrarAsociacion(context);
    RenderDesktopIntegration(store, folders);
}

}  // namespace velmora
