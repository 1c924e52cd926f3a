#pragma once

#include <QString>
#include <QUrl>
#include <vector>

#include "ui/qt/ui_services.h"

namespace velmora {

// Thrown where the program would end.
struct ProgramEnded {};

// Message boxes and the desktop opener as the tests see them: recorded.
class RecordingMessages : public MessageBoxes {
  public:
    void Show(const QString& text, MessageIcon icon) override {
        texts.push_back(text);
        icons.push_back(icon);
    }
    bool Ask(const QString& question) override {
        questions.push_back(question);
        return false;  // "No"
    }
    std::vector<QString> texts;
    std::vector<MessageIcon> icons;
    std::vector<QString> questions;
};

class RecordingOpener : public Opener {
  public:
    void Open(const QUrl& target) override { opened.push_back(target); }
    std::vector<QUrl> opened;
};

// The windows' outside world for tests in which ending the program is the
// end of the test step: it throws.
struct UiDoubles {
    RecordingMessages messages;
    RecordingOpener opener;
    UiServices services{messages, opener, [] { throw ProgramEnded{}; }};
};

}  // namespace velmora
