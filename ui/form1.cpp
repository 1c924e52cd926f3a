#include "ui/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QShortcut>
#include <cstdlib>

#include "container/main_window_actions.h"
#include "platform/names.h"
#include "ui/program_text.h"
#include "ui/window_style.h"

namespace velmora {

Form1::Form1(FileSystem& files, EngineState& state, UiServices& services)
    : files_(files), state_(state), services_(services) {
    MakeDesignWindow(this, "Form1", 256, 197, "", ":/padlock.ico");
    setMouseTracking(true);

    Picture1 = new QLabel(this);
    NameControl(Picture1, "Picture1", 9);
    Picture1->setPixmap(QPixmap(":/logo.gif"));
    Picture1->setGeometry(24, 0, 201, 94);

    P1 = new ProgressBox(this);
    NameControl(P1, "P1", 3);
    P1->setGeometry(8, 104, 241, 17);

    Command1 = new QPushButton("Cancelar", this);
    NameControl(Command1, "Command1", 0);
    Command1->setGeometry(88, 128, 81, 33);
    Command1->setFont(DesignFont("Comic Sans MS", 11.25));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, Command1, &QPushButton::click);

    Label3 = LinkLabel::MakerLink(this, DesignFont("Comic Sans MS", 14.25), "M\u00e1s Programas...",
                                  Qt::UpArrowCursor, services_.opener);
    NameControl(Label3, "Label3", 8);
    Label3->setGeometry(16, 168, 220, 26);

    // The folder and file lists of the original design lie outside the
    // client area and are never shown; the walk does not need them.
    Dir1 = new QListWidget(this);
    NameControl(Dir1, "Dir1", 1);
    Dir1->setGeometry(264, 232, 81, 51);
    Dir1->setVisible(false);
    File1 = new QListWidget(this);
    NameControl(File1, "File1", 2);
    File1->setGeometry(352, 240, 81, 32);
    File1->setVisible(false);

    ApplyTabOrder({Picture1, P1, Command1, Label3, Dir1, File1});
    CentreOnScreen(this);
}

void Form1::PumpEvents() {
    QCoreApplication::processEvents();
}

void Form1::SetCaption(const std::string& caption) {
    setWindowTitle(FromProgramText(caption));
}

void Form1::AdvanceProgress(std::int64_t mark) {
    P1->FillTo(mark);
}

void Form1::ShowMessage(const std::string& text, MessageIcon icon) {
    services_.messages.Show(FromProgramText(text), icon);
}

void Form1::OpenFolder(const std::string& path) {
    Result<std::string> native = NativePath(path);
    if (native)
        services_.opener.Open(QUrl::fromLocalFile(QString::fromStdString(native.value())));
}

void Form1::Command1_Click() {
    PressCancelar(files_, state_, *this);
}

void Form1::UnloadMainWindow() {
    CloseMainWindow(files_, state_, *this);
}

void Form1::EndProgram() {
    files_.CloseAll();
    services_.end_program();
    std::abort();  // end_program never returns
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseMainWindow(files_, state_, *this);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (Label3->Underlined())
        Label3->SetUnderlined(false);
    QWidget::mouseMoveEvent(event);
}

}  // namespace velmora
