#include "ui/qt/form2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "app/window_layouts.h"
#include "ui/qt/layout_builder.h"
#include "ui/qt/program_text.h"

namespace velmora {

Form2::Form2(ProgramState& state, const CipherTables& tables, UiServices& services,
             const std::string& program_folder)
    : services_(services),
      help_(HelpToShow(program_folder, Desktop::kLinux)),
      presenter_(state, tables, *this, [&services] { services.end_program(); }) {
    const WindowLayout& layout = Form2Layout();
    BuildWindow(this, layout);
    Tag = QString::fromLatin1(layout.tag.data(), static_cast<qsizetype>(layout.tag.size()));
    setMouseTracking(true);
    Image1 = Built<PressableLabel>(this, "Image1");
    Text1 = {Built<QLineEdit>(this, "Text1", 0), Built<QLineEdit>(this, "Text1", 1)};
    Command1 = Built<QPushButton>(this, "Command1");
    Command2 = Built<QPushButton>(this, "Command2");
    Label3 = Built<LinkLabel>(this, "Label3");
    Label4 = Built<QLabel>(this, "Label4");
    Label5 = Built<QLabel>(this, "Label5");
    for (QLineEdit* box : Text1)
        box->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Label3, &LinkLabel::clicked, this,
            [this] { services_.opener.Open(QUrl(Label3->Target())); });
    connect(Image1, &PressableLabel::clicked, this,
            [this] { services_.opener.Open(QUrl::fromLocalFile(FromProgramText(help_.file))); });
}

void Form2::Command1_Click() {
    presenter_.Command1_Click(Mode());
}

void Form2::Command2_Click() {
    presenter_.Command2_Click();
}

TypedPassword Form2::BoxText(int index, PasswordCoding coding) const {
    const QString text = Text1[index]->text();
    if (coding == PasswordCoding::kWindows1252)
        return ToProgramText(text);
    // A lone surrogate has no UTF-8 form (Qt would write a replacement).
    if (!text.isValidUtf16())
        return std::nullopt;
    return text.toUtf8().toStdString();
}

void Form2::SetBoxText(int index, const std::string& text, PasswordCoding coding) {
    Text1[index]->setText(
        coding == PasswordCoding::kWindows1252
            ? FromProgramText(text)
            : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Form2::LimitFirstBox(int characters) {
    // 32767 is the most a Qt line takes: no limit of the dialog's own.
    Text1[0]->setMaxLength(characters > 0 ? characters : 32767);
}

void Form2::HideSecondBox() {
    Text1[1]->setVisible(false);
}

void Form2::FocusBox(int index) {
    Text1[index]->setFocus();
}

void Form2::ShowMessage(const std::string& cp1252, MessageIcon icon) {
    services_.messages.Show(FromProgramText(cp1252), icon);
}

bool Form2::AskYesNo(const std::string& cp1252) {
    return services_.messages.Ask(FromProgramText(cp1252));
}

void Form2::PumpEvents() {
    QCoreApplication::processEvents();
}

void Form2::HideDialog() {
    hide();
}

void Form2::ShowSealedRows(const SealedDialogRows& rows, int client_height) {
    Label4->setText(FromProgramText(rows.what));
    Label5->setText(FromProgramText(rows.rule));
    Label4->setVisible(true);
    Label5->setVisible(true);
    if (height() == client_height)
        return;
    // Centred again for its new size before it is shown: placed only once
    // shown, its client area would be kept where it is by the window
    // manager, the frame half a title bar off centre.
    setFixedSize(width(), client_height);
    CentreFrame(this);
}

void Form2::SetCaption(const std::string& cp1252) {
    setWindowTitle(FromProgramText(cp1252));
}

void Form2::SetBusy(bool busy) {
    SetBusyPointer(busy);
}

void Form2::reject() {
    Command2->click();
}

void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    services_.end_program();
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            presenter_.EnterInBox(Mode(), box == Text1[1] ? 1 : 0);
            return true;  // Enter itself goes nowhere
        }
    } else if (event->type() == QEvent::FocusIn) {
        // The caret goes after the last character (Qt would select it all).
        QTimer::singleShot(0, box, [box] {
            box->deselect();
            box->setCursorPosition(static_cast<int>(box->text().size()));
        });
    }
    return QDialog::eventFilter(watched, event);
}

void Form2::setVisible(bool visible) {
    // Before the window is placed and centred: the sealed modes make it
    // taller.
    if (visible && !isVisible())
        presenter_.Shown(Mode());
    QDialog::setVisible(visible);
}

void Form2::showEvent(QShowEvent* event) {
    Text1[0]->setFocus();
    QDialog::showEvent(event);
}

void Form2::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        presenter_.Shown(Mode());
    QDialog::changeEvent(event);
}

void Form2::mouseMoveEvent(QMouseEvent* event) {
    Label3->MouseOverBackground();
    QDialog::mouseMoveEvent(event);
}

}  // namespace velmora
