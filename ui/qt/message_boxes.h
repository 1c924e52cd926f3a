#pragma once

#include "ui/qt/ui_services.h"

namespace velmora {

// The program's message boxes in Qt: the title "Velmora", the icon asked
// for, and one button reading "Aceptar" that Enter and Escape press.
class QtMessageBoxes : public MessageBoxes {
  public:
    void Show(const QString& text, MessageIcon icon) override;
};

}  // namespace velmora
