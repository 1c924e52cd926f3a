#pragma once

#include "ui/qt/ui_services.h"

namespace velmora {

// The program's message boxes in Qt: the title "Velmora", the icon asked
// for, and one button reading "Aceptar" that Enter and Escape press; a
// question's buttons read "Sí" and "No", and Escape presses "No".
class QtMessageBoxes : public MessageBoxes {
  public:
    void Show(const QString& text, MessageIcon icon) override;
    bool Ask(const QString& question) override;
};

}  // namespace velmora
