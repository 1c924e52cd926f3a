#include "shell/posix/desktop_integration.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "base/cp1252.h"
#include "base/messages.h"
#include "shell/posix/desktop_files.h"
#include "shell/posix/icon_file.h"
#include "shell/posix/run_program.h"
#include "shell/posix/system_integration.h"
#include "shell/registration.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string EnvironmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

void WriteFile(const fs::path& path, const std::string& content, fs::perms mode) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    fs::permissions(path, mode, error);
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

// The program inside a registered command: the text between its first two
// double quotes, in UTF-8.
std::optional<std::string> QuotedProgram(const std::optional<std::string>& command) {
    if (!command || command->size() < 2 || (*command)[0] != '"')
        return std::nullopt;
    const auto end = command->find('"', 1);
    if (end == std::string::npos)
        return std::nullopt;
    Result<std::string> utf8 = Cp1252ToUtf8(command->substr(1, end - 1));
    if (!utf8)
        return std::nullopt;
    return utf8.value();
}

// The program that opens containers, as the file type's open command names it.
std::optional<std::string> OpenProgram(const RegistryStore& registry) {
    const std::optional<std::string> program_class = registry.DefaultValue(kContainerExtension);
    if (!program_class)
        return std::nullopt;
    return QuotedProgram(registry.DefaultValue(*program_class + "\\shell\\open\\command"));
}

void RenderFileType(const RegistryStore& registry, const DesktopFolders& folders,
                    const fs::path& wrappers) {
    const std::optional<std::string> program_class = registry.DefaultValue(kContainerExtension);
    if (!program_class)
        return;
    const std::optional<std::string> program = OpenProgram(registry);
    Result<std::string> title = Cp1252ToUtf8(registry.DefaultValue(*program_class).value_or(""));
    const fs::path data = folders.data_home;

    const fs::path mime = data / "mime";
    WriteFile(mime / "packages" / kMimePackageFile,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "  <mime-type type=\"" +
                  std::string(kMimeType) +
                  "\">\n"
                  "    <comment>" +
                  XmlText(title ? title.value() : "") +
                  "</comment>\n"
                  "    <icon name=\"" +
                  kMimeIconName +
                  "\"/>\n"
                  "    <glob pattern=\"*" +
                  kContainerExtension +
                  "\"/>\n"
                  "  </mime-type>\n"
                  // The help file beside the program is plain text; by its
                  // exact name it is not taken for an old Windows help file
                  // (*.hlp), which no Linux desktop can open.
                  "  <mime-type type=\"text/plain\">\n"
                  "    <glob pattern=\"velmora.hlp\"/>\n"
                  "  </mime-type>\n"
                  "</mime-info>\n",
              kReadable);
    RunQuietly({"update-mime-database", mime.string()});

    if (const std::optional<std::string> icon =
            registry.DefaultValue(*program_class + "\\DefaultIcon")) {
        Result<std::string> icon_path = Cp1252ToUtf8(*icon);
        if (icon_path) {
            if (std::optional<IconImage> image = LargestPngImage(ReadFile(icon_path.value()))) {
                const std::string size = std::to_string(image->size);
                WriteFile(data / "icons" / "hicolor" / (size + "x" + size) / "mimetypes" /
                              (std::string(kMimeIconName) + ".png"),
                          image->png, kReadable);
            }
        }
    }

    if (!program)
        return;
    const fs::path open_wrapper = wrappers / kOpenWrapper;
    WriteFile(open_wrapper,
              "#!/bin/sh\n"
              "# Opens a Velmora container: the program gets its path followed by /C.\n"
              "exec " +
                  ShellQuote(*program) + " \"$1/C\"\n",
              kExecutable);
    const fs::path applications = data / "applications";
    WriteFile(applications / kOpenDesktopFile,
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Velmora\n"
              "Comment=" +
                  (title ? title.value() : std::string()) + "\n" +
                  OpenEntryExecLine(open_wrapper.string()) +
                  "\n"
                  "Icon=" +
                  kMimeIconName +
                  "\n"
                  "MimeType=" +
                  kMimeType +
                  ";\n"
                  "NoDisplay=true\n"
                  "Terminal=false\n",
              kReadable);
    RunQuietly({"update-desktop-database", applications.string()});

    const fs::path mimeapps = fs::path(folders.config_home) / "mimeapps.list";
    const std::string existing = fs::exists(mimeapps) ? ReadFile(mimeapps) : "";
    const std::string merged = MergeMimeApps(existing, kMimeType, kOpenDesktopFile);
    if (merged != existing)
        WriteFile(mimeapps, merged, kReadable);
}

// The wrapper the folder verb runs: it starts the program in the folder's
// parent, so the container is written beside the folder.
fs::path WriteEncryptWrapper(const std::string& program, const fs::path& wrappers) {
    const fs::path wrapper = wrappers / kEncryptWrapper;
    WriteFile(wrapper,
              "#!/bin/sh\n"
              "# Encrypts a folder. It runs in the folder's parent, so the container is\n"
              "# written beside the folder.\n"
              "cd -- \"$(dirname -- \"$1\")\" || exit 1\n"
              "exec " +
                  ShellQuote(program) + " \"$1\"\n",
              kExecutable);
    return wrapper;
}

// The verb's menu text.
std::string FolderVerbName() {
    return DisplayUtf8(Text(Msg::kFolderVerb));
}

void RenderFolderVerbMenus(const fs::path& data, const fs::path& encrypt_wrapper) {
    const std::string verb = FolderVerbName();
    const std::string exec = DesktopExecArgument(encrypt_wrapper.string());
    WriteFile(data / "kio" / "servicemenus" / kServiceMenuFile,
              "[Desktop Entry]\n"
              "Type=Service\n"
              "MimeType=inode/directory;\n"
              "Actions=encriptar;\n"
              "X-KDE-Protocols=file\n"
              "X-KDE-RequiredNumberOfUrls=1\n"
              "\n"
              "[Desktop Action encriptar]\n"
              "Name=" +
                  verb +
                  "\n"
                  "Icon=" +
                  kMimeIconName +
                  "\n"
                  "Exec=" +
                  exec + " %f\n",
              kExecutable);
    WriteFile(data / "nemo" / "actions" / kNemoActionFile,
              "[Nemo Action]\n"
              "Name=" +
                  verb +
                  "\n"
                  "Comment=" +
                  verb +
                  "\n"
                  "Exec=" +
                  exec +
                  " %F\n"
                  "Icon-Name=" +
                  kMimeIconName +
                  "\n"
                  "Selection=s\n"
                  "Extensions=dir;\n",
              kReadable);
}

// Nautilus has scripts only per user, so this one is written even where the
// rest of the integration is installed system-wide.
void RenderNautilusScript(const fs::path& data, const fs::path& encrypt_wrapper) {
    WriteFile(data / "nautilus" / "scripts" / FolderVerbName(),
              "#!/bin/sh\n"
              "# Nautilus hands the selection over in this variable (its arguments lose\n"
              "# text that looks like %f). Only a folder is encrypted.\n"
              "first=$(printf '%s\\n' \"$NAUTILUS_SCRIPT_SELECTED_FILE_PATHS\" | head -n 1)\n"
              "[ -d \"$first\" ] || exit 0\n"
              "exec " +
                  ShellQuote(encrypt_wrapper.string()) + " \"$first\"\n",
              kExecutable);
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
    const fs::path wrappers = data / "velmora";
    const std::optional<std::string> folder_program =
        QuotedProgram(registry.DefaultValue(FolderVerbKey()));
    const std::optional<std::string> open_program = OpenProgram(registry);
    if (open_program &&
        ProvidedSystemWide(fs::path(*open_program).parent_path().string(), folders.system_data)) {
        RemoveUserCopies(folders);
        if (folder_program)
            RenderNautilusScript(data, WriteEncryptWrapper(*folder_program, wrappers));
        return;
    }
    RenderFileType(registry, folders, wrappers);
    if (folder_program) {
        const fs::path encrypt_wrapper = WriteEncryptWrapper(*folder_program, wrappers);
        RenderFolderVerbMenus(data, encrypt_wrapper);
        RenderNautilusScript(data, encrypt_wrapper);
    }
}

}  // namespace velmora
