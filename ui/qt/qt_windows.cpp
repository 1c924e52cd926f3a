#include "ui/qt/qt_windows.h"

#include <QLabel>

#include "app/window_layouts.h"
#include "ui/qt/layout_builder.h"
#include "ui/qt/program_text.h"

namespace velmora {

QtWindows::QtWindows(FileSystem& files, ProgramState& state, const CipherTables& tables,
                     UiServices& services, std::string program_folder)
    : state_(state),
      tables_(tables),
      services_(services),
      program_folder_(std::move(program_folder)),
      form1_(std::make_unique<Form1>(files, state, services)) {}

Form2& QtWindows::form2() {
    if (!form2_)
        form2_ = std::make_unique<Form2>(state_, tables_, services_, program_folder_);
    return *form2_;
}

F3& QtWindows::f3() {
    if (!f3_)
        f3_ = std::make_unique<F3>();
    return *f3_;
}

void QtWindows::SetPasswordDialogCaption(const std::string& caption) {
    form2().setWindowTitle(FromProgramText(caption));
}

void QtWindows::SetPasswordDialogTag(const std::string& tag) {
    form2().Tag = QString::fromStdString(tag);
}

void QtWindows::ShowPasswordDialogModal() {
    form2().exec();
}

void QtWindows::ClearPasswordBox() {
    form2().Text1[0]->clear();
}

void QtWindows::ShowMainWindow() {
    form1_->show();
}

void QtWindows::ShowInstructionsModal() {
    f3().exec();
}

bool QtWindows::AskYesNo(const std::string& cp1252) {
    return services_.messages.Ask(FromProgramText(cp1252));
}

F3::F3() {
    BuildWindow(this, F3Layout());
    Picture2 = Built<QLabel>(this, "Picture2");
    Picture1 = Built<QLabel>(this, "Picture1");
    Label1 = Built<QLabel>(this, "Label1");
    Image1 = Built<QLabel>(this, "Image1");
    Command1 = Built<QPushButton>(this, "Command1");
    connect(Command1, &QPushButton::clicked, this, &F3::Command1_Click);
}

}  // namespace velmora
