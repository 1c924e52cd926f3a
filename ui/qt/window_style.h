#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace velmora {

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

}  // namespace velmora
