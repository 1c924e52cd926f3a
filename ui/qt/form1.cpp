#include "ui/qt/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <cstdlib>

#include "app/window_layouts.h"
#include "ui/qt/layout_builder.h"
#include "ui/qt/program_text.h"

namespace velmora {

Form1::Form1(FileSystem& files, ProgramState& state, UiServices& services)
    : behaviour_(files, state, *this), files_(files), services_(services) {
    BuildWindow(this, Form1Layout());
    setMouseTracking(true);
    Picture1 = Built<QLabel>(this, "Picture1");
    P1 = Built<ProgressBox>(this, "P1");
    Command1 = Built<QPushButton>(this, "Command1");
    Label3 = Built<LinkLabel>(this, "Label3");
    Dir1 = Built<QListWidget>(this, "Dir1");
    File1 = Built<QListWidget>(this, "File1");
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Label3, &LinkLabel::clicked, this,
            [this] { services_.opener.Open(QUrl(Label3->Target())); });
}

void Form1::PumpEvents() {
    QCoreApplication::processEvents();
}

void Form1::BeginStep(const std::string& caption) {
    setWindowTitle(FromProgramText(ShownCaption(caption)));
}

void Form1::AdvanceProgress(std::int64_t mark) {
    P1->FillTo(mark);
}

void Form1::ShowMessage(const std::string& text, MessageIcon icon) {
    services_.messages.Show(FromProgramText(text), icon);
}

void Form1::OpenFolder(const std::string& path) {
    Result<std::string> native = files_.NativeForm(path);
    if (native)
        services_.opener.Open(QUrl::fromLocalFile(QString::fromStdString(native.value())));
}

void Form1::SealedJob(SealedMoment moment, const std::string& path) {
    ShowSealedMoment(*this, moment, path.empty() ? path : files_.DisplayPath(path));
}

void Form1::SetBusy(bool busy) {
    SetBusyPointer(busy);
}

void Form1::Notify(const std::string& text) {
    services_.notify(FromProgramText(text));
}

void Form1::Command1_Click() {
    behaviour_.Command1_Click();
}

void Form1::EndJob() {
    behaviour_.Form_Unload();
}

void Form1::EndProgram() {
    files_.CloseAll();
    services_.end_program();
    std::abort();  // end_program never returns
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    behaviour_.Form_Unload();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    Label3->MouseOverBackground();
    QWidget::mouseMoveEvent(event);
}

}  // namespace velmora
