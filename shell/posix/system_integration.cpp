#include "shell/posix/desktop_integration.h"

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora {
namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Whether Nautilus can load Python extensions (python3-nautilus, which the
// package only recommends): its loader in Nautilus' extension folder under
// /usr/lib or a multiarch folder of it.
bool NautilusLoadsPythonExtensions() {
    const fs::path loader = "nautilus/extensions-4/libnautilus-python.so";
    std::error_code ignored;
    for (const fs::path libraries : {"/usr/lib", "/usr/lib64"}) {
        if (fs::exists(libraries / loader, ignored))
            return true;
        for (const auto& entry : fs::directory_iterator(libraries, ignored))
            if (fs::exists(entry.path() / loader, ignored))
                return true;
    }
    return false;
}

}  // namespace

bool ProvidedSystemWide(const std::string& relative_path, const DesktopFolders& folders) {
    std::string system_place = relative_path;
    if (relative_path == std::string("velmora/") + kOpenWrapper)
        system_place = std::string("applications/") + kOpenDesktopFile;
    else if (StartsWith(relative_path, "nautilus/")) {
        if (!NautilusLoadsPythonExtensions())
            return false;
        system_place = kNautilusExtensionPath;
    }
    else if (StartsWith(relative_path, "velmora/"))
        return false;
    std::error_code ignored;
    for (const std::string& folder : folders.system_data)
        if (!fs::equivalent(folder, folders.data_home, ignored) &&
            fs::exists(fs::path(folder) / system_place, ignored))
            return true;
    return false;
}

void RefreshCacheOf(const std::string& relative_path, const DesktopFolders& folders) {
    const fs::path data = folders.data_home;
    if (StartsWith(relative_path, "mime/"))
        RunQuietly({"update-mime-database", (data / "mime").string()});
    else if (StartsWith(relative_path, "applications/"))
        RunQuietly({"update-desktop-database", (data / "applications").string()});
}

bool RunQuietly(const std::vector<std::string>& argv) {
    if (argv.empty())
        return false;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace velmora
