// velmora: the desktop program. Started with a folder it encodes it, with a
// container followed by "/C" it restores it, and with nothing it registers
// its shell integration and shows how it is used.
#include <QApplication>
#include <QDesktopServices>
#include <cstdio>
#include <cstdlib>

#include "app/form_load.h"
#include "platform/clock.h"
#include "platform/posix/posix_file_system.h"
#include "shell/posix/desktop_integration.h"
#include "ui/qt/layout_builder.h"
#include "ui/qt/program_text.h"
#include "ui/qt/qt_windows.h"
#include "ui/qt/ui_services.h"

namespace {

using namespace velmora;

class DesktopOpener : public Opener {
  public:
    void Open(const QUrl& target) override { QDesktopServices::openUrl(target); }
};

// Everything after the program's name as one text, the way the system hands
// a Windows program its command line: a path given as one argument arrives
// exactly.
std::string CommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    OpenMissingStandardDescriptors();
    QApplication application(argc, argv);
    InstallFontSubstitutes();
    application.setWindowIcon(QIcon(":/padlock.ico"));

    PosixFileSystem files;
    SystemClock clock;
    ProgramState state;
    QtMessageBoxes messages;
    DesktopOpener opener;
    UiServices services{messages, opener, [&files] {
                            files.CloseAll();
                            std::fflush(nullptr);
                            std::_Exit(0);
                        }};
    CipherTables tables([&messages](const std::string& text) {
        messages.Show(FromProgramText(text), MessageIcon::kInformation);
    });
    Result<std::string> program_folder = files.ProgramFolder();
    const std::string folder =
        program_folder ? files.DisplayPath(program_folder.value()) : std::string(".");
    QtWindows windows(files, state, tables, services, folder);

    StartupServices startup{files, clock, tables, windows, [&] {
                                RegistryStore store(RegistryStore::DefaultFile());
                                RegisterShellIntegration(
                                    store, [&folder] { return folder; },
                                    [] { QCoreApplication::processEvents(); },
                                    DesktopFolders::FromEnvironment());
                            }};
    Form_Load(CommandLine(argc, argv), state, startup);
    windows.ShowMainWindow();
    return application.exec();
}
