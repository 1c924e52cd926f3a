#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "platform/posix/registry_store.h"

namespace velmora {

// The folder verbs this program registers, in menu order: the sealed kind
// first, with the padlock; the legacy kind after it, with an icon of its own.
// `id` names their files and desktop actions; the Spanish menu text (the
// messages file's) is the registry key's name, the English one is the
// default of the desktop files.
struct FolderVerbKind {
    Msg verb;
    const char* id;
    const char* english_name;
    const char* icon;
};
extern const FolderVerbKind kFolderVerbKinds[2];

// The menu text of a verb, in UTF-8.
std::string VerbName(const FolderVerbKind& kind);

// A registered folder verb, as the Linux desktop files need it.
struct FolderVerb {
    std::string id;
    std::string name;          // "Encriptar...", the key's name
    std::string english_name;  // "Encrypt..."
    std::string program;       // the program its command starts (UTF-8)
    std::string prefix;        // what the command puts before the folder's path
    std::string icon;          // the icon theme's name of the verb's icon
};

// The verbs of the store whose commands have the registered form:
// "PROGRAM" PREFIX%1, in menu order.
std::vector<FolderVerb> RegisteredFolderVerbs(const RegistryStore& registry);

// The program inside a registered command: the text between its first two
// double quotes, in UTF-8.
std::optional<std::string> QuotedProgram(const std::optional<std::string>& command);

// Where each verb's files go, relative to a data folder.
std::string EncryptWrapperPath(const std::string& id);  // velmora/velmora-ID
std::string NemoActionPath(const std::string& id);
std::string FileManagerActionPath(const std::string& id);
std::string SendToPath(const std::string& id);
std::string NautilusScriptPath(const std::string& name);
// A verb's own icon at SIZE pixels (icons/hicolor/SIZExSIZE/actions/ICON.png);
// it is drawn from ICON.ico beside the program.
std::string VerbIconPath(const std::string& icon, const std::string& size);
// Dolphin's service menu holds every verb as one action each.
inline constexpr const char* kServiceMenuPath = "kio/servicemenus/velmora-encriptar.desktop";

}  // namespace velmora
