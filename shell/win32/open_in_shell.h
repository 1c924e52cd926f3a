#pragma once

#include <string>

namespace velmora {

// Opens a folder, a document (the help file) or a web address the way
// Explorer would (ShellExecuteW "open"). The text is the program's own,
// Windows-1252. False when the shell could not open it.
bool OpenInShell(const std::string& target);
// The same for a path exactly as the system writes it (UTF-8): a folder
// whose name Windows-1252 cannot hold.
bool OpenNativeInShell(const std::string& utf8_target);

// Starts a program (found as Windows finds programs) with a document, in a
// normal window. Both texts are the program's own. False when it could not.
bool OpenWith(const std::string& program, const std::string& document);

}  // namespace velmora
