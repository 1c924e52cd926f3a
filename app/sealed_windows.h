#pragma once

#include <string>

#include "app/password_decision.h"
#include "container/host.h"

namespace velmora {

// What the windows say of a sealed job, before, during and after it.

// The password dialog's two rows in a sealed mode (Label4, Label5 of its
// layout), in Windows-1252: the kind, the folder and its container by name,
// what is written beside what and what is then wiped or deleted, and the
// password's rule. shown_path: the folder to seal or the container to
// open, as messages show it; shown_container: where a seal writes its
// container, "" when beside the folder.
struct SealedDialogRows {
    std::string what;
    std::string rule;
};
SealedDialogRows SealedDialogText(DialogMode mode, const std::string& shown_path,
                                  const std::string& shown_container = "");

// The dialog's client height: the table's own in the legacy modes (the
// rows hidden); below the lower row in the sealed ones.
int Form2ClientHeight(DialogMode mode);

// What a window does when a sealed job tells of a moment.
class SealedJobView {
  public:
    virtual ~SealedJobView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // The busy pointer over the program's windows, or the usual ones again.
    virtual void SetBusy(bool busy) = 0;
    // A short desktop notification titled "Velmora" (Windows-1252 text);
    // nothing, at once, where the desktop has no service for them.
    virtual void Notify(const std::string& text) = 0;
};

// The main window at a moment of a sealed job: while the key is derived its
// caption says so and the pointer is busy; once derived, the work's caption
// and the usual pointer again; when the job is done, a notification says
// where the container or the restored folder is. shown_path: the moment's
// path as messages show it.
void ShowSealedMoment(SealedJobView& view, SealedMoment moment, const std::string& shown_path);

}  // namespace velmora
