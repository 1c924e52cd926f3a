#include "ui/form2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "app/password_decision.h"
#include "ui/cursors.h"
#include "ui/program_text.h"
#include "ui/window_style.h"

namespace velmora {

Form2::Form2(ProgramState& state, const CipherTables& tables, UiServices& services,
             QString program_folder)
    : state_(state),
      tables_(tables),
      services_(services),
      program_folder_(std::move(program_folder)) {
    MakeDesignWindow(this, "Form2", 255, 173, "Escriba la contrase\u00f1a:", ":/padlock.ico");
    setMouseTracking(true);

    Image1 = new QLabel(this);
    NameControl(Image1, "Image1", -1);
    Image1->setGeometry(0, 0, 53, 127);
    Image1->setPixmap(QPixmap(":/title.bmp"));
    Image1->setScaledContents(true);
    Image1->setCursor(DesignCursor(":/hand_mono.cur"));
    Image1->setToolTip("Ayuda de Velmora");
    Image1->installEventFilter(this);

    for (int i = 0; i < 2; ++i) {
        QLineEdit* box = new QLineEdit(this);
        NameControl(box, "Text1", i);
        box->setProperty("Index", i);
        box->setGeometry(64, 16 + 40 * i, 177, 33);
        box->setEchoMode(QLineEdit::Password);
        // The design shows every character as "*", not the style's bullet.
        box->setStyleSheet("lineedit-password-character: 42;");
        box->setFont(DesignFont("MS Sans Serif", 18));
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->installEventFilter(this);
        Text1[i] = box;
    }
    Text1[0]->setMaxLength(15);

    Command1 = new QPushButton("Ok", this);
    NameControl(Command1, "Command1", 2);
    Command1->setGeometry(64, 96, 81, 33);
    Command1->setFont(DesignFont("MS Sans Serif", 12));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    Command2 = new QPushButton("Cancelar", this);
    NameControl(Command2, "Command2", 3);
    Command2->setGeometry(160, 96, 81, 33);
    Command2->setFont(DesignFont("MS Sans Serif", 12));
    Command2->setAutoDefault(false);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);

    Label3 = LinkLabel::MakerLink(this, DesignFont("Times New Roman", 14.25),
                                  "More M\u00e1s Programas...", DesignCursor(":/hand_color.cur"),
                                  services_.opener);
    NameControl(Label3, "Label3", 4);
    Label3->setGeometry(35, 144, 185, 21);

    ApplyTabOrder({Image1, Text1[0], Text1[1], Command1, Command2, Label3});
    CentreOnScreen(this);
}

bool Form2::Decoding() const {
    return ModeFromTag(Tag.toStdString()) == DialogMode::kDecoding;
}

void Form2::Command1_Click() {
    const PasswordDecision decision =
        DecidePassword(tables_, ModeFromTag(Tag.toStdString()), ToProgramText(Text1[0]->text()),
                       ToProgramText(Text1[1]->text()), state_.StoredCheck);
    Text1[0]->setText(FromProgramText(decision.first_box));
    Text1[1]->setText(FromProgramText(decision.second_box));
    if (!decision.accepted()) {
        state_.engine.PasswordKey.clear();
        services_.messages.Show(FromProgramText(decision.message), decision.icon);
        Text1[0]->setFocus();
        return;
    }
    QCoreApplication::processEvents();
    state_.engine.PasswordKey = decision.key;
    hide();
    QCoreApplication::processEvents();
}

void Form2::Command2_Click() {
    state_.engine.PasswordKey.clear();
    services_.end_program();
}

void Form2::reject() {
    Command2->click();
}

void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    services_.end_program();
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        services_.opener.Open(QUrl::fromLocalFile(program_folder_ + "/velmora.hlp"));
        return true;
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (Decoding() || box == Text1[1])
                Command1->click();
            else
                Text1[1]->setFocus();
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

void Form2::HideRepeatBoxWhenDecoding() {
    if (Decoding())
        Text1[1]->setVisible(false);
}

void Form2::showEvent(QShowEvent* event) {
    HideRepeatBoxWhenDecoding();
    Text1[0]->setFocus();
    QDialog::showEvent(event);
}

void Form2::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        HideRepeatBoxWhenDecoding();
    QDialog::changeEvent(event);
}

void Form2::mouseMoveEvent(QMouseEvent* event) {
    if (Label3->Underlined())
        Label3->SetUnderlined(false);
    QDialog::mouseMoveEvent(event);
}

}  // namespace velmora
