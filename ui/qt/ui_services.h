#pragma once

#include <QString>
#include <QUrl>
#include <functional>

#include "container/host.h"

namespace velmora {

// A short desktop notification titled "Velmora", through the freedesktop
// notification service on the session bus. Without a bus or a service it
// does nothing, at once (the bus answers that no one has the name); a
// service that does not answer is waited for two seconds at most.
void SendDesktopNotice(const QString& text);

// The modal message boxes of the windows: text, one OK button, the title
// "Velmora"; a question has the buttons "Sí" and "No" (true for "Sí").
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void Show(const QString& text, MessageIcon icon) = 0;
    virtual bool Ask(const QString& question) = 0;
};

// The desktop's default action for an address or a file.
class Opener {
  public:
    virtual ~Opener() = default;
    virtual void Open(const QUrl& target) = 0;
};

// What the windows are given from outside, so tests can stand in for it.
struct UiServices {
    MessageBoxes& messages;
    Opener& opener;
    // Closes every open file and ends the process at once; never returns.
    std::function<void()> end_program;
    // A short desktop notification.
    std::function<void(const QString&)> notify = SendDesktopNotice;
};

// The program's message boxes in Qt: the title "Velmora", the icon asked
// for, and one button reading "Aceptar" that Enter and Escape press; a
// question's buttons read "Sí" and "No", and Escape presses "No".
class QtMessageBoxes : public MessageBoxes {
  public:
    void Show(const QString& text, MessageIcon icon) override;
    bool Ask(const QString& question) override;
};

}  // namespace velmora
