#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"
#include "shell/posix/folder_verbs.h"

namespace velmora {

// One file of the Linux desktop integration: where it goes, relative to a
// data folder ($XDG_DATA_HOME, or a system data folder such as /usr/share),
// its bytes, and whether it is executable.
struct DesktopFile {
    std::string path;
    std::string content;
    bool executable = false;
};

using DesktopFiles = std::vector<DesktopFile>;

// Texts of the files Linux desktops read, each for one piece of the
// registration. Paths are UTF-8.

// A single-quoted word for /bin/sh.
std::string ShellQuote(const std::string& text);

// Text that keeps its meaning inside a /bin/sh double-quoted word.
std::string InDoubleQuotes(const std::string& text);

// One argument of a desktop entry's Exec key, quoted and escaped the way
// freedesktop.org desktop entries need (the key's own string escapes included).
std::string DesktopExecArgument(const std::string& text);

// The command of a freedesktop.org file-manager action's Exec key: a word
// that survives the action's own "%" codes and GLib's shell parsing.
std::string ActionExecArgument(const std::string& text);

// One element of a key file's string list (";" and "\\" escaped).
std::string KeyFileListItem(const std::string& text);

// Markup-escaped text for an XML element.
std::string XmlText(const std::string& text);

// mimeapps.list with the type's default application set in both
// [Default Applications] and [Added Associations]; every other line kept.
std::string MergeMimeApps(const std::string& existing, const std::string& mime_type,
                          const std::string& desktop_file);

// mimeapps.list without any line for the type; every other line kept.
std::string RemoveMimeAppsType(const std::string& existing, const std::string& mime_type);

// One image of an icon file, when it is stored as PNG.
struct IconImage {
    int size = 0;  // width in pixels
    std::string png;
};

// The largest PNG-coded image of a Windows icon (.ico) file; none when the
// file is not an icon or holds only bitmap-coded images.
std::optional<IconImage> LargestPngImage(const std::string& ico);

// The per-user files of the ".zol" file type, relative to $XDG_DATA_HOME
// (data_home): the shared-mime-info package (the type, its icon and generic
// icon, an English comment with the registered Spanish title as its Spanish
// translation, and velmora.hlp as plain text), the padlock icon taken from
// the registered icon file, the wrapper that hands the program a
// container's path followed by "/C", and the hidden desktop entry that runs
// it. Nothing when the store holds no file type.
DesktopFiles FileTypeFiles(const RegistryStore& registry, const std::string& data_home);

// The per-user files of the folder verbs, relative to $XDG_DATA_HOME
// (data_home): for each verb a wrapper under velmora/ that runs the program
// in the folder's parent with the verb's argument, a Nemo action, a
// freedesktop.org file-manager action (PCManFM-Qt, Caja ...), a Thunar
// "Enviar a" entry, a Nautilus script and, for a verb whose icon is not the
// type's padlock, that icon drawn from its .ico file beside the program;
// and one Dolphin service menu with an action per verb. Menus offer the verbs for one selected
// local folder only. A Nemo action is hidden while one of the same name lies in a system data
// folder: Nemo would show both, and the system-wide one wins.
DesktopFiles FolderVerbFiles(const std::vector<FolderVerb>& verbs, const std::string& data_home,
                             const std::vector<std::string>& system_data);

}  // namespace velmora
