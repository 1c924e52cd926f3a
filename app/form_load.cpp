#include "app/form_load.h"

#include <algorithm>
#include <cerrno>

#include "app/password_decision.h"
#include "app/salvage_offer.h"
#include "app/startup_request.h"
#include "base/messages.h"
#include "container/engine.h"
#include "container/open_any_container.h"
#include "container/path_helpers.h"
#include "shell/registration.h"

namespace velmora {
namespace {

// The attribute decision of start-up, on the number as a whole: folders
// (16-31) and values of 48 or more are encoded; below 16 and 32-47 nothing
// happens.
bool EncodesAttributeValue(int attributes) {
    if (attributes >= 32 && attributes <= 47)
        return false;
    return attributes >= 16;
}

// "No se puede abrir el contenedor «X»: " and the reason alone: a system
// error's text after its quoted path ("...«X»: no existe." gives
// "no existe."), a damaged header's after its last colon.
std::string CannotOpen(const std::string& shown_path, const std::string& failure) {
    const std::size_t colon = failure.rfind(": ");
    const std::string reason = colon == std::string::npos ? failure : failure.substr(colon + 2);
    return Text(Msg::kCannotOpenContainer, {shown_path, reason});
}

// Shows the message and ends the program; callers return right after, as
// nothing follows an end.
void Stop(Host& host, const std::string& message) {
    host.ShowMessage(message, MessageIcon::kCritical);
    host.EndProgram();
}

// A sealed container: its password is asked, and it is restored with the
// names in UTF-8, as OpenAnyContainer left the file system.
void RestoreSealed(const std::string& path, const SealedHeader& header, ProgramState& state,
                   StartupServices& services) {
    FileSystem& files = services.files;
    Host& host = services.windows.MainWindow();
    state.shown_subject = files.DisplayPath(path);
    state.sealed_header = header;
    services.windows.SetPasswordDialogCaption(Text(Msg::kTypePasswordToDecode));
    services.windows.SetPasswordDialogTag(kOpeningSealedTag);
    services.windows.ShowPasswordDialogModal();
    services.windows.ShowMainWindow();
    const EngineRequest request{.path = path, .sealed_keys = state.sealed_keys};
    Engine engine(files, host, services.tables, services.clock, state.cancel);
    const RunResult decoded = engine.Des_carpeta(request);
    Run run(files, host, services.tables, services.clock, state.cancel);
    OfferSalvage(decoded, header, request, run,
                 [&](const std::string& question) { return services.windows.AskYesNo(question); });
    state.sealed_keys.reset();
    services.windows.ClearPasswordBox();
    host.EndProgram();
}

void Decode(const std::string& native_path, ProgramState& state, StartupServices& services) {
    Host& host = services.windows.MainWindow();
    if (native_path.empty())
        return Stop(host, Text(Msg::kContainerNameMissing));
    // Only the header is read here; a missing, unreadable or too short
    // container ends the program with a message, and nothing is created.
    OpenedContainer container(services.files);
    const AnyContainer found =
        OpenAnyContainer(services.files, native_path, container, {.only_container_names = true});
    container.Close();
    // Damage in a sealed header is found before any password is asked.
    if (found.damaged_sealed)
        return Stop(host, found.damaged_sealed->message);
    if (found.sealed())
        return RestoreSealed(found.path.value(), found.header->sealed, state, services);
    const Result<std::string>& path = found.path;
    if (!path)
        return Stop(host, path.error().message);
    const std::string shown = services.files.DisplayPath(path.value());
    // Refused before the password is asked: no password could make it one.
    if (!NamesAContainer(path.value()))
        return Stop(host, Text(Msg::kNotAContainer, {shown}));
    services.windows.SetPasswordDialogCaption(Text(Msg::kTypePasswordToDecode));
    if (!found.header)
        return Stop(host, CannotOpen(shown, found.header.error().message));
    state.StoredCheck = found.header->legacy.PasswordCheck;

    services.windows.SetPasswordDialogTag(kDecodingTag);
    services.windows.ShowPasswordDialogModal();
    services.windows.ShowMainWindow();
    Engine engine(services.files, host, services.tables, services.clock, state.cancel);
    engine.Des_carpeta({.path = path.value(), .key = state.key});
    state.key.clear();
    services.windows.ClearPasswordBox();
    host.EndProgram();
}

void Encode(const std::string& folder, ProgramState& state, StartupServices& services) {
    Host& host = services.windows.MainWindow();
    services.windows.SetPasswordDialogTag(kEncodingTag);
    services.windows.ShowPasswordDialogModal();
    services.windows.ShowMainWindow();
    Engine engine(services.files, host, services.tables, services.clock, state.cancel);
    engine.Hacelo({.path = folder, .key = state.key});
    // A finished run has unloaded the main window, which ends the program;
    // a refused or failed one has shown its message and ends here.
    host.EndProgram();
}

// The sealed verb: "/S " and the folder. Only a folder is sealed, hidden
// or not; anything else ends the program with one message before the
// dialog, as the legacy dispatch does for what it cannot work on.
void Seal(const std::string& native_path, ProgramState& state, StartupServices& services) {
    FileSystem& files = services.files;
    Host& host = services.windows.MainWindow();
    if (native_path.empty())
        return Stop(host, Text(Msg::kFolderNameMissing));
    Result<std::string> path = ResolveForSealing(files, native_path);
    if (!path)
        return Stop(host, path.error().message);
    const std::string shown = files.DisplayPath(path.value());
    if (path->back() == '\\')
        return Stop(host, Text(Msg::kNotAFolderToEncode, {shown}));
    Result<EntryInfo> entry = files.Inspect(path.value());
    if (!entry)
        return Stop(host, entry.error().message);
    if (entry->kind != EntryKind::kFolder)
        return Stop(host, Text(Msg::kNotAFolder, {shown}));

    state.shown_subject = shown;
    // The container goes to the current folder: the dialog says where when
    // that is not beside the folder (started from a terminal elsewhere).
    const Result<std::string> here = files.CurrentFolder();
    if (here && here.value() != ParentOf(path.value()))
        state.shown_container =
            files.DisplayPath(here.value() + (here->back() == '\\' ? "" : "\\") +
                              ContainerNameFor(Nombre(path.value())));
    services.windows.SetPasswordDialogTag(kSealingTag);
    services.windows.ShowPasswordDialogModal();
    services.windows.ShowMainWindow();
    EngineRequest request{.path = path.value(),
                          .password = std::move(state.sealed_password),
                          .options = {.sealed_parameters = services.sealed_parameters}};
    state.sealed_password.clear();
    Engine engine(files, host, services.tables, services.clock, state.cancel);
    engine.Seal(request);
    std::fill(request.password.begin(), request.password.end(), '\0');
    // As when encoding: a finished run has unloaded the main window, which
    // ends the program; a refused or failed one has shown its message.
    host.EndProgram();
}

}  // namespace

void Form_Load(const std::string& command_line, ProgramState& state, StartupServices& services) {
    services.tables.CrearBuffer();
    const StartupRequest request = ParseStartupLine(command_line, services.files);
    if (request.verb == StartupRequest::Verb::kSeal)
        return Seal(request.path, state, services);
    if (request.verb == StartupRequest::Verb::kDecode)
        return Decode(request.path, state, services);
    const std::string& C = request.path;

    Host& host = services.windows.MainWindow();
    // The path means what the system makes of it (links, ".." and a
    // trailing separator resolved as the kernel resolves them); one that
    // names nothing finds nothing.
    Result<std::string> path = C.empty()
                                   ? Result<std::string>(std::string())
                                   : services.files.FromSystemPath(C, FileSystem::Given::kEntry);
    // A name the program cannot hold is told as such, not taken for nothing
    // found: registering would tell the user to do what they just did.
    if (!path && path.error().code != ENOENT && path.error().code != ENOTDIR)
        return Stop(host, path.error().message);
    std::vector<std::string> found;
    if (path && !C.empty()) {
        Result<std::vector<std::string>> search = services.files.Dir(path.value(), kMaskNoHidden);
        if (search)
            found = search.value();
    }
    const std::string folder = path ? path.value() : std::string();
    if (found.empty() || C.empty()) {
        services.register_shell();
        services.windows.ShowInstructionsModal();
        host.EndProgram();
    }
    Result<int> attributes = services.files.GetAttr(folder);
    if (!attributes || !EncodesAttributeValue(attributes.value()))
        return;
    if (folder == "\\")
        return Stop(host, Text(Msg::kNotAFolderToEncode, {services.files.DisplayPath("\\")}));
    Encode(folder, state, services);
}

}  // namespace velmora
