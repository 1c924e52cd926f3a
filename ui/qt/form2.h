#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "app/form2_presenter.h"
#include "app/help_viewing.h"
#include "app/program_state.h"
#include "cipher/cipher_tables.h"
#include "ui/qt/link_label.h"
#include "ui/qt/ui_services.h"

class QLabel;

namespace velmora {

// The password dialog. Tag "1": the password is typed twice for encoding;
// "2": once, and accepted only when it opens the container whose check value
// start-up left in the program state; "3" and "4" the same for a sealed
// container. An accepted password leaves what the work needs in the state
// and hides the dialog.
class Form2 : public QDialog, private Form2View {
    Q_OBJECT
  public:
    // program_folder: the program's folder, in the program's form; the help
    // picture opens the help file in it.
    Form2(ProgramState& state, const CipherTables& tables, UiServices& services,
          const std::string& program_folder);

    PressableLabel* Image1;
    std::array<QLineEdit*, 2> Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    LinkLabel* Label3;
    QLabel* Label4;  // the sealed modes' rows
    QLabel* Label5;
    QString Tag = "1";

    void Command1_Click();
    void Command2_Click();
    void setVisible(bool visible) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void reject() override;

  private:
    DialogMode Mode() const { return ModeFromTag(Tag.toStdString()); }

    TypedPassword BoxText(int index, PasswordCoding coding) const override;
    void SetBoxText(int index, const std::string& text, PasswordCoding coding) override;
    void LimitFirstBox(int characters) override;
    void HideSecondBox() override;
    void FocusBox(int index) override;
    void ShowMessage(const std::string& cp1252, MessageIcon icon) override;
    bool AskYesNo(const std::string& cp1252) override;
    void PumpEvents() override;
    void HideDialog() override;
    void ShowSealedRows(const SealedDialogRows& rows, int client_height) override;
    void SetCaption(const std::string& cp1252) override;
    void SetBusy(bool busy) override;

    UiServices& services_;
    HelpViewing help_;
    Form2Presenter presenter_;
};

}  // namespace velmora
