#include "shell/posix/folder_verbs.h"

#include "base/cp1252.h"
#include "shell/posix/desktop_integration.h"
#include "shell/registration.h"

namespace velmora {

const FolderVerbKind kFolderVerbKinds[2] = {
    {Msg::kSealedFolderVerb, "encriptar-seguro", "Encrypt (secure)...", kMimeIconName},
    {Msg::kFolderVerb, "encriptar", "Encrypt...", kLegacyVerbIconName},
};

std::string VerbName(const FolderVerbKind& kind) {
    return DisplayUtf8(Text(kind.verb));
}

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

std::vector<FolderVerb> RegisteredFolderVerbs(const RegistryStore& registry) {
    std::vector<FolderVerb> verbs;
    for (const FolderVerbKind& kind : kFolderVerbKinds) {
        const std::optional<std::string> command = registry.DefaultValue(FolderVerbKey(kind.verb));
        const std::optional<std::string> program = QuotedProgram(command);
        if (!program)
            continue;
        // After the quoted program: one space, the prefix, then "%1" last.
        const std::size_t after = command->find('"', 1) + 1;
        const std::string rest = command->substr(after);
        if (rest.size() < 3 || rest[0] != ' ' || rest.compare(rest.size() - 2, 2, "%1") != 0)
            continue;
        Result<std::string> prefix = Cp1252ToUtf8(rest.substr(1, rest.size() - 3));
        if (!prefix)
            continue;
        verbs.push_back(
            {kind.id, VerbName(kind), kind.english_name, *program, prefix.value(), kind.icon});
    }
    return verbs;
}

std::string EncryptWrapperPath(const std::string& id) {
    return "velmora/velmora-" + id;
}

std::string NemoActionPath(const std::string& id) {
    return "nemo/actions/velmora-" + id + ".nemo_action";
}

std::string FileManagerActionPath(const std::string& id) {
    return "file-manager/actions/velmora-" + id + ".desktop";
}

std::string SendToPath(const std::string& id) {
    return "Thunar/sendto/velmora-" + id + ".desktop";
}

std::string NautilusScriptPath(const std::string& name) {
    return "nautilus/scripts/" + name;
}

std::string VerbIconPath(const std::string& icon, const std::string& size) {
    return "icons/hicolor/" + size + "x" + size + "/actions/" + icon + ".png";
}

}  // namespace velmora
