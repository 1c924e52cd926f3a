#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "app/main_window.h"
#include "app/sealed_windows.h"
#include "container/host.h"
#include "platform/file_system.h"
#include "ui/qt/link_label.h"
#include "ui/qt/progress_box.h"
#include "ui/qt/ui_services.h"

class QLabel;

namespace velmora {

// The main window: progress while a folder is encoded or a container
// decoded, "Cancelar", and the maker's link. It is the engine's Host.
class Form1 : public QWidget, public Host, private SealedJobView {
    Q_OBJECT
  public:
    Form1(FileSystem& files, ProgramState& state, UiServices& services);

    QLabel* Picture1;
    ProgressBox* P1;
    QPushButton* Command1;
    LinkLabel* Label3;
    QListWidget* Dir1;
    QListWidget* File1;

    void PumpEvents() override;
    void BeginStep(const std::string& caption) override;
    void AdvanceProgress(std::int64_t mark) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void OpenFolder(const std::string& path) override;
    void MakeWayForFolder() override { hide(); }
    void EndJob() override;
    [[noreturn]] void EndProgram() override;
    void SealedJob(SealedMoment moment, const std::string& path) override;

    void Command1_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void SetCaption(const std::string& caption) override { BeginStep(caption); }
    void SetBusy(bool busy) override;
    void Notify(const std::string& text) override;

    MainWindow behaviour_;
    FileSystem& files_;
    UiServices& services_;
};

}  // namespace velmora
