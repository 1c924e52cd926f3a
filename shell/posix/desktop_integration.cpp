#include "shell/posix/desktop_integration.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/names.h"
#include "shell/posix/desktop_files.h"
#include "shell/posix/icon_file.h"
#include "shell/posix/run_program.h"
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

void RenderFileType(const RegistryStore& registry, const DesktopFolders& folders,
                    const fs::path& wrappers) {
    const std::optional<std::string> program_class = registry.DefaultValue(kExtension);
    if (!program_class)
        return;
    const std::optional<std::string> program =
        QuotedProgram(registry.DefaultValue(*program_class + "\\shell\\open\\command"));
    Result<std::string> title = Cp1252ToUtf8(registry.DefaultValue(*program_class).value_or(""));
    const fs::path data = folders.data_home;

    const fs::path mime = data / "mime";
    WriteFile(mime / "packages" / "velmora.xml",
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
                  kExtension +
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
    const fs::path open_wrapper = wrappers / "velmora-open";
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
                  (title ? title.value() : std::string()) +
                  "\n"
                  "Exec=" +
                  DesktopExecArgument(open_wrapper.string()) +
                  " %f\n"
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

void RenderFolderVerb(const RegistryStore& registry, const DesktopFolders& folders,
                      const fs::path& wrappers) {
    const std::optional<std::string> program = QuotedProgram(registry.DefaultValue(kFolderVerbKey));
    if (!program)
        return;
    const std::string verb_key = kFolderVerbKey;
    const std::string without_command = verb_key.substr(0, verb_key.rfind('\\'));
    const std::string verb = without_command.substr(without_command.rfind('\\') + 1);
    const fs::path data = folders.data_home;

    const fs::path encrypt_wrapper = wrappers / "velmora-encriptar";
    WriteFile(encrypt_wrapper,
              "#!/bin/sh\n"
              "# Encrypts a folder. It runs in the folder's parent, so the container is\n"
              "# written beside the folder.\n"
              "cd -- \"$(dirname -- \"$1\")\" || exit 1\n"
              "exec " +
                  ShellQuote(*program) + " \"$1\"\n",
              kExecutable);
    const std::string exec = DesktopExecArgument(encrypt_wrapper.string());

    WriteFile(data / "kio" / "servicemenus" / "velmora-encriptar.desktop",
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
    WriteFile(data / "nemo" / "actions" / "velmora-encriptar.nemo_action",
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
    WriteFile(data / "nautilus" / "scripts" / verb,
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
    return {EnvironmentOr("XDG_DATA_HOME", home + "/.local/share"),
            EnvironmentOr("XDG_CONFIG_HOME", home + "/.config")};
}

void RenderDesktopIntegration(const RegistryStore& registry, const DesktopFolders& folders) {
    const fs::path wrappers = fs::path(folders.data_home) / "velmora";
    RenderFileType(registry, folders, wrappers);
    RenderFolderVerb(registry, folders, wrappers);
}

}  // namespace velmora
