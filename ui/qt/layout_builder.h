#pragma once

#include <QWidget>

#include "app/window_layouts.h"

namespace velmora {

// Makes a Qt window from its layout table: the window itself (design name,
// fixed client size, caption, icon, centred) and every control as its Qt
// counterpart, named as in the design ("Index" holds a control array's
// element, "tabIndex" the design's tab index), with Tab visiting them in
// the design's order and Escape pressing the cancel button. Every control
// has the accessible name app/ gives it; links and pressable pictures are
// reached with Tab.
void BuildWindow(QWidget* window, const WindowLayout& layout);

// A control that BuildWindow made.
QWidget* FindBuilt(QWidget* window, std::string_view name, int index = -1);

template <typename T>
T* Built(QWidget* window, std::string_view name, int index = -1) {
    return qobject_cast<T*>(FindBuilt(window, name, index));
}

}  // namespace velmora
