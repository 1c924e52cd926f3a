#pragma once

#include <QCursor>
#include <QFont>
#include <QString>
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

// What screen readers see beyond Qt's own: the main window as a window
// named by app/ while its title is blank, the progress box as a progress
// bar with its percentage, the link as a link and the help picture as a
// button, both pressed by the reader's action as by a click. (The controls'
// names are given by BuildWindow.) Installed once, before any window shows.
void InstallAccessibility();

// Makes the windows' pictures, icons and cursors available (once).
void LoadDesignResources();

// Sets up one of the three windows: its resources, design name, fixed size,
// caption and icon.
void MakeDesignWindow(QWidget* window, const QString& name, int width, int height,
                      const QString& caption, const QString& icon);

// The common look of the three windows: fixed single border, no minimize or
// maximize button, the given client size.
void MakeFixedWindow(QWidget* window, int width, int height);

// Centres the window's frame on its screen each time it is shown. Qt can
// place only the client area before the window manager has put a frame
// around it, so the window is placed again once the frame's size is known.
void KeepFrameCentred(QWidget* window);

// Centres the frame (or, before there is one, the client area) on the
// screen's available area now: for a window resized before it is shown.
void CentreFrame(QWidget* window);

// A font by its design name and point size; missing families are replaced
// through the substitutes installed at start.
QFont DesignFont(const QString& family, double points, bool bold = false);

// Comic Sans MS -> Comic Neue, MS Sans Serif -> Liberation Sans or DejaVu
// Sans, Times New Roman -> Liberation Serif, where the first is missing.
void InstallFontSubstitutes();

// The colour a label's text is drawn in.
void SetTextColour(QWidget* label, const QColor& colour);

// A mouse pointer from a Windows cursor (.cur) resource, with the hot spot
// the file gives.
QCursor DesignCursor(const QString& resource);

// The busy pointer over every window of the program, or the usual ones
// again; asked twice the same, the second does nothing.
void SetBusyPointer(bool busy);

}  // namespace velmora
