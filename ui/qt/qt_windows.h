#pragma once

#include <QDialog>
#include <QPushButton>
#include <memory>

#include "app/program_state.h"
#include "app/startup_windows.h"
#include "cipher/cipher_tables.h"
#include "platform/file_system.h"
#include "ui/qt/form1.h"
#include "ui/qt/form2.h"

class QLabel;

namespace velmora {

// The instructions window shown after registering: how the program is used
// from a folder's context menu. "ACEPTAR", Enter, Escape and the close box
// all close it.
class F3 : public QDialog {
    Q_OBJECT
  public:
    F3();

    QLabel* Picture2;
    QLabel* Picture1;
    QLabel* Label1;
    QLabel* Image1;
    QPushButton* Command1;

    void Command1_Click() { done(0); }

  protected:
    void reject() override { Command1->click(); }
};

// The three windows of one run. The main window exists from the start; the
// password dialog and the instructions window are made on first use.
class QtWindows : public StartupWindows {
  public:
    QtWindows(FileSystem& files, ProgramState& state, const CipherTables& tables,
              UiServices& services, std::string program_folder);

    Host& MainWindow() override { return *form1_; }
    void SetPasswordDialogCaption(const std::string& caption) override;
    void SetPasswordDialogTag(const std::string& tag) override;
    void ShowPasswordDialogModal() override;
    void ClearPasswordBox() override;
    void ShowMainWindow() override;
    void ShowInstructionsModal() override;
    bool AskYesNo(const std::string& cp1252) override;

    Form1& form1() { return *form1_; }
    Form2& form2();
    F3& f3();

  private:
    ProgramState& state_;
    const CipherTables& tables_;
    UiServices& services_;
    std::string program_folder_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<F3> f3_;
};

}  // namespace velmora
