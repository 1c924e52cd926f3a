#include "ui/qt/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "base/messages.h"
#include "ui/qt/program_text.h"

namespace velmora {

void QtMessageBoxes::Show(const QString& text, MessageIcon icon) {
    QMessageBox box(
        icon == MessageIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        "Velmora", text);
    // Qt's own "OK" is English unless a translation is installed.
    QPushButton* aceptar =
        box.addButton(FromProgramText(Text(Msg::kAceptar)), QMessageBox::AcceptRole);
    box.setDefaultButton(aceptar);
    box.setEscapeButton(aceptar);
    box.exec();
}

bool QtMessageBoxes::Ask(const QString& question) {
    QMessageBox box(QMessageBox::Question, "Velmora", question);
    QPushButton* yes = box.addButton(FromProgramText(Text(Msg::kYes)), QMessageBox::YesRole);
    QPushButton* no = box.addButton(FromProgramText(Text(Msg::kNo)), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace velmora
