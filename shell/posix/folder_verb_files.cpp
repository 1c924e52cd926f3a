#include "shell/posix/desktop_files.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "shell/posix/desktop_integration.h"

namespace velmora {
namespace {

// The wrapper a verb's launchers run: it starts the program in the folder's
// parent, so the container is written beside the folder, with the folder's
// path after the verb's prefix as one argument.
DesktopFile Wrapper(const FolderVerb& verb) {
    return {EncryptWrapperPath(verb.id),
            "#!/bin/sh\n"
            "# \"" +
                verb.name +
                "\" on a folder. It runs in the folder's parent, so the container is\n"
                "# written beside the folder.\n"
                "cd -- \"$(dirname -- \"$1\")\" || exit 1\n"
                "exec " +
                ShellQuote(verb.program) + " \"" + InDoubleQuotes(verb.prefix) + "$1\"\n",
            true};
}

std::string Names(const FolderVerb& verb, const std::string& key) {
    return key + "=" + verb.english_name + "\n" + key + "[es]=" + verb.name + "\n";
}

// Dolphin: one service menu, an action per verb, for one local folder.
// (KIO reads a per-user service menu only when it is executable.)
DesktopFile ServiceMenu(const std::vector<FolderVerb>& verbs, const std::string& data_home) {
    std::string actions;
    std::string groups;
    for (const FolderVerb& verb : verbs) {
        actions += verb.id + ";";
        groups += "\n[Desktop Action " + verb.id + "]\n" + Names(verb, "Name") +
                  "Icon=" + verb.icon + "\n" +
                  "Exec=" + DesktopExecArgument(data_home + "/" + EncryptWrapperPath(verb.id)) +
                  " %f\n";
    }
    return {kServiceMenuPath,
            "[Desktop Entry]\n"
            "Type=Service\n"
            "MimeType=inode/directory;\n"
            "Actions=" +
                actions +
                "\n"
                "X-KDE-Protocols=file\n"
                "X-KDE-RequiredNumberOfUrls=1\n" +
                groups,
            true};
}

DesktopFile NemoAction(const FolderVerb& verb, const std::string& wrapper,
                       const std::vector<std::string>& system_data) {
    std::string hidden_by;
    for (const std::string& folder : system_data)
        hidden_by += "!" + KeyFileListItem(folder + "/" + NemoActionPath(verb.id)) + ";";
    return {NemoActionPath(verb.id),
            "[Nemo Action]\n" + Names(verb, "Name") + Names(verb, "Comment") +
                "Exec=" + DesktopExecArgument(wrapper) +
                " %F\n"
                "Icon-Name=" +
                verb.icon +
                "\n"
                "Selection=s\n"
                "Extensions=dir;\n" +
                (hidden_by.empty() ? "" : "Dependencies=" + hidden_by + "\n")};
}

// The freedesktop.org file-manager action: shown for a selection (not the
// background of a folder), of exactly one local folder.
DesktopFile FileManagerAction(const FolderVerb& verb, const std::string& wrapper) {
    return {FileManagerActionPath(verb.id),
            "[Desktop Entry]\n"
            "Type=Action\n" +
                Names(verb, "Name") + Names(verb, "Tooltip") + "Icon=" + verb.icon +
                "\n"
                "Profiles=folder;\n"
                "\n"
                "[X-Action-Profile folder]\n"
                "MimeTypes=inode/directory;\n"
                "SelectionCount==1\n"
                "Schemes=file;\n"
                "Exec=" +
                ActionExecArgument(wrapper) + " %f\n"};
}

// Thunar's "Enviar a" menu takes the desktop entries of Thunar/sendto.
DesktopFile SendTo(const FolderVerb& verb, const std::string& wrapper) {
    return {SendToPath(verb.id),
            "[Desktop Entry]\n"
            "Type=Application\n" +
                Names(verb, "Name") + "Icon=" + verb.icon + "\n" +
                "Exec=" + DesktopExecArgument(wrapper) +
                " %f\n"
                "MimeType=inode/directory;\n"};
}

// Nautilus lists scripts by file name, under "Scripts", per user only; the
// package offers the verbs through its Nautilus extension instead.
DesktopFile NautilusScript(const FolderVerb& verb, const std::string& wrapper) {
    return {NautilusScriptPath(verb.name),
            "#!/bin/sh\n"
            "# Nautilus hands the selection over in this variable (its arguments lose\n"
            "# text that looks like %f). Only a folder is encrypted.\n"
            "first=$(printf '%s\\n' \"$NAUTILUS_SCRIPT_SELECTED_FILE_PATHS\" | head -n 1)\n"
            "[ -d \"$first\" ] || exit 0\n"
            "exec " +
                ShellQuote(wrapper) + " \"$first\"\n",
            true};
}

// A verb's icon other than the type's padlock (which comes with the type):
// the largest image of ICON.ico beside the program, when there is one.
std::optional<DesktopFile> VerbIcon(const FolderVerb& verb) {
    if (verb.icon == kMimeIconName)
        return std::nullopt;
    const std::size_t slash = verb.program.rfind('/');
    std::ifstream in(verb.program.substr(0, slash + 1) + verb.icon + ".ico", std::ios::binary);
    std::ostringstream ico;
    ico << in.rdbuf();
    const std::optional<IconImage> image = LargestPngImage(ico.str());
    if (!image)
        return std::nullopt;
    return DesktopFile{VerbIconPath(verb.icon, std::to_string(image->size)), image->png};
}

}  // namespace

DesktopFiles FolderVerbFiles(const std::vector<FolderVerb>& verbs, const std::string& data_home,
                             const std::vector<std::string>& system_data) {
    DesktopFiles files;
    if (verbs.empty())
        return files;
    files.push_back(ServiceMenu(verbs, data_home));
    for (const FolderVerb& verb : verbs) {
        const std::string wrapper = data_home + "/" + EncryptWrapperPath(verb.id);
        files.push_back(Wrapper(verb));
        files.push_back(NemoAction(verb, wrapper, system_data));
        files.push_back(FileManagerAction(verb, wrapper));
        files.push_back(SendTo(verb, wrapper));
        files.push_back(NautilusScript(verb, wrapper));
        if (std::optional<DesktopFile> icon = VerbIcon(verb))
            files.push_back(*icon);
    }
    return files;
}

}  // namespace velmora
