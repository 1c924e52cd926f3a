#pragma once

#include <string>

namespace velmora {

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

}  // namespace velmora
