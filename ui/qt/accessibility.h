#pragma once

namespace velmora {

// What screen readers see beyond Qt's own: the main window as a window
// named by app/ while its title is blank, the progress box as a progress
// bar with its percentage, the link as a link and the help picture as a
// button, both pressed by the reader's action as by a click. (The controls'
// names are given by BuildWindow.) Installed once, before any window shows.
void InstallAccessibility();

}  // namespace velmora
