#include "app/form_load.h"

#include "container/container_reader.h"
#include "container/engine.h"
#include "container/file_byte_source.h"

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

void Decode(const std::string& native_path, ProgramState& state, StartupServices& services) {
    Host& host = services.windows.MainWindow();
    Result<std::string> path =
        services.files.FromSystemPath(native_path, FileSystem::Given::kEntry);
    if (!path) {
        host.ShowMessage(path.error().message, MessageIcon::kCritical);
        host.EndProgram();
    }
    state.engine.FolderPath = path.value();
    services.windows.SetPasswordDialogCaption(
        "Escribe la contrase\xF1"
        "a:");

    // Only the header is read here; a missing, unreadable or too short
    // container ends the program with a message, and nothing is created.
    Result<int> file = services.files.Open(state.engine.FolderPath, OpenMode::kRead);
    Result<ContainerHeader> header = Error{""};
    if (file) {
        Result<EntryInfo> info = services.files.InspectOpen(file.value());
        if (info) {
            FileByteSource source(services.files, file.value(), info->size);
            header = ReadContainerHeader(source);
        } else {
            header = info.error();
        }
        (void)services.files.Close(file.value());
    } else {
        header = file.error();
    }
    if (!header) {
        host.ShowMessage("No se puede abrir el contenedor \xAB" +
                             services.files.DisplayPath(state.engine.FolderPath) + "\xBB.\n" +
                             header.error().message,
                         MessageIcon::kCritical);
        host.EndProgram();
    }
    state.StoredCheck = header->PasswordCheck;

    services.windows.SetPasswordDialogTag("2");
    services.windows.ShowPasswordDialogModal();
    services.windows.ShowMainWindow();
    state.engine.StartTime = services.clock.SecondsSinceMidnight();
    Engine engine(services.files, host, services.tables, services.clock, state.engine);
    engine.Des_carpeta();
    state.engine.FolderPath.clear();
    state.engine.PasswordKey.clear();
    services.windows.ClearPasswordBox();
    host.EndProgram();
}

void Encode(const std::string& folder, ProgramState& state, StartupServices& services) {
    Host& host = services.windows.MainWindow();
    state.engine.BasePathLength = static_cast<std::int64_t>(folder.size());
    services.windows.SetPasswordDialogTag("1");
    services.windows.ShowPasswordDialogModal();
    services.windows.ShowMainWindow();
    state.engine.StartTime = services.clock.SecondsSinceMidnight();
    Engine engine(services.files, host, services.tables, services.clock, state.engine);
    engine.Hacelo(state.engine.PasswordKey);
    // A finished run has unloaded the main window, which ends the program;
    // a refused or failed one has shown its message and ends here.
    host.EndProgram();
}

}  // namespace

void Form_Load(const std::string& command_line, ProgramState& state, StartupServices& services) {
    services.tables.CrearBuffer();
    const std::string& C = command_line;
    if (C.size() >= 2 && C.compare(C.size() - 2, 2, "/C") == 0)
        return Decode(C.substr(0, C.size() - 2), state, services);

    Host& host = services.windows.MainWindow();
    // The path means what the system makes of it (links and ".." resolved
    // as the kernel resolves them); one that cannot be resolved finds
    // nothing.
    Result<std::string> path = C.empty()
                                   ? Result<std::string>(std::string())
                                   : services.files.FromSystemPath(C, FileSystem::Given::kEntry);
    std::vector<std::string> found;
    if (path && !C.empty()) {
        Result<std::vector<std::string>> search = services.files.Dir(path.value(), kMaskNoHidden);
        if (search)
            found = search.value();
    }
    state.engine.FolderPath = path ? path.value() : std::string();
    if (found.empty() || C.empty()) {
        services.register_shell();
        services.windows.ShowInstructionsModal();
        host.EndProgram();
    }
    Result<int> attributes = services.files.GetAttr(state.engine.FolderPath);
    if (!attributes || !EncodesAttributeValue(attributes.value()))
        return;
    Encode(state.engine.FolderPath, state, services);
}

}  // namespace velmora
