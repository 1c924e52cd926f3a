#pragma once

#include <QDialog>
#include <QPushButton>

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

}  // namespace velmora
