#include "shell/posix/system_integration.h"

#include <filesystem>
#include <fstream>

#include "shell/posix/desktop_files.h"
#include "shell/posix/run_program.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

bool HasLine(const fs::path& file, const std::string& wanted) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line == wanted)
            return true;
    return false;
}

// Removes a file; true when there was one.
bool Remove(const fs::path& file) {
    std::error_code ignored;
    return fs::remove(file, ignored);
}

}  // namespace

std::string OpenEntryExecLine(const std::string& open_wrapper) {
    return "Exec=" + DesktopExecArgument(open_wrapper) + " %f";
}

bool ProvidedSystemWide(const std::string& program_folder,
                        const std::vector<std::string>& system_data) {
    const std::string exec = OpenEntryExecLine((fs::path(program_folder) / kOpenWrapper).string());
    for (const std::string& folder : system_data)
        if (HasLine(fs::path(folder) / "applications" / kOpenDesktopFile, exec))
            return true;
    return false;
}

void RemoveUserCopies(const DesktopFolders& folders) {
    const fs::path data = folders.data_home;
    Remove(data / "velmora" / kOpenWrapper);
    Remove(data / "kio" / "servicemenus" / kServiceMenuFile);
    Remove(data / "nemo" / "actions" / kNemoActionFile);
    std::error_code ignored;
    for (const auto& size : fs::directory_iterator(data / "icons" / "hicolor", ignored))
        Remove(size.path() / "mimetypes" / (std::string(kMimeIconName) + ".png"));
    if (Remove(data / "mime" / "packages" / kMimePackageFile))
        RunQuietly({"update-mime-database", (data / "mime").string()});
    if (Remove(data / "applications" / kOpenDesktopFile))
        RunQuietly({"update-desktop-database", (data / "applications").string()});
}

}  // namespace velmora
