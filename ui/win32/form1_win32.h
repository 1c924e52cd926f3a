#pragma once

#include "app/main_window.h"
#include "app/sealed_windows.h"
#include "container/host.h"
#include "platform/file_system.h"
#include "ui/win32/design_window.h"

namespace velmora {

// The main window: progress while a folder is encoded or a container
// decoded, "Cancelar", and the maker's link. It is the engine's Host.
class Form1 : public DesignWindow, public Host, private SealedJobView {
  public:
    Form1(FileSystem& files, ProgramState& state);

    void PumpEvents() override;
    void BeginStep(const std::string& caption) override;
    void AdvanceProgress(std::int64_t mark) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void OpenFolder(const std::string& path) override;
    void MakeWayForFolder() override;
    void EndJob() override;
    [[noreturn]] void EndProgram() override;
    void SealedJob(SealedMoment moment, const std::string& path) override;

  protected:
    void ButtonPressed(HWND button) override;
    void BoxClicked(HWND box) override;
    void CloseRequested() override;

  private:
    void SetCaption(const std::string& caption) override { BeginStep(caption); }
    void SetBusy(bool busy) override { ShowBusy(busy); }
    // A balloon from an icon in the notification area, shown for a few
    // seconds, the window hidden meanwhile; the icon goes with it.
    void Notify(const std::string& text) override;

    FileSystem& files_;
    MainWindow behaviour_;
};

// A link label was clicked: its caption is opened as a web address.
void OpenLink(HWND label);

// A message box of the program: the text, an OK button, the title "Velmora".
void ShowProgramMessage(HWND owner, const std::string& text, MessageIcon icon);
// A question of the program: the text, the buttons Yes and No in the
// system's language ("Sí", "No" on a Spanish Windows), "No" the default;
// true for Yes.
bool AskProgramQuestion(HWND owner, const std::string& text);

}  // namespace velmora
