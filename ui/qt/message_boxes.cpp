#include "ui/qt/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace velmora {

void QtMessageBoxes::Show(const QString& text, MessageIcon icon) {
    QMessageBox box(
        icon == MessageIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        "Velmora", text);
    // Qt's own "OK" is English unless a translation is installed.
    QPushButton* aceptar = box.addButton("Aceptar", QMessageBox::AcceptRole);
    box.setDefaultButton(aceptar);
    box.setEscapeButton(aceptar);
    box.exec();
}

}  // namespace velmora
