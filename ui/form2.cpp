#include "ui/form2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "container/password_check.h"
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

void Form2::Refuse(const QString& text, MessageIcon icon, bool empty_both) {
    services_.messages.Show(text, icon);
    Text1[0]->clear();
    if (empty_both)
        Text1[1]->clear();
    Text1[0]->setFocus();
}

void Form2::Accept(const std::string& key) {
    state_.engine.PasswordKey = key;
    hide();
}

void Form2::Command1_Click() {
    const QString refused_characters =
        "La contrase\u00f1a tiene caracteres que no se pueden usar. Escr\u00edbala sin ellos.";
    const std::optional<std::string> first = ToProgramText(Text1[0]->text());
    const std::optional<std::string> second = ToProgramText(Text1[1]->text());
    if (!first || !second)
        return Refuse(refused_characters, MessageIcon::kCritical, true);

    state_.engine.PasswordKey = ToUpperCp1252(*first);
    if (state_.engine.PasswordKey.empty())
        return Refuse("Contrase\u00f1a incorrecta.", MessageIcon::kCritical, false);
    Text1[0]->setText(FromProgramText(ToUpperCp1252(*first)));
    Text1[1]->setText(FromProgramText(ToUpperCp1252(*second)));
    if (!Decoding() && first->size() < 3)
        return Refuse("La contrase\u00f1a debe tener al menos 3 caracteres.",
                      MessageIcon::kInformation, false);

    const Result<std::string> key = DeriveKey(state_.engine.PasswordKey);
    QCoreApplication::processEvents();
    if (!key) {
        state_.engine.PasswordKey.clear();
        return Refuse(FromProgramText(key.error().message), MessageIcon::kCritical, true);
    }
    state_.engine.PasswordKey = key.value();

    if (Decoding()) {
        if (!PasswordMatches(tables_, state_.StoredCheck, key.value())) {
            state_.engine.PasswordKey.clear();
            return Refuse("Contrase\u00f1a incorrecta.", MessageIcon::kCritical, false);
        }
        return Accept(key.value());
    }
    if (ToUpperCp1252(*first) != ToUpperCp1252(*second)) {
        state_.engine.PasswordKey.clear();
        return Refuse("Las contrase\u00f1as son diferentes.", MessageIcon::kCritical, true);
    }
    if (PasswordCheckHasEdgeSpace(tables_, key.value())) {
        state_.engine.PasswordKey.clear();
        return Refuse("Esta contrase\u00f1a no se puede usar con este formato. Elija otra.",
                      MessageIcon::kCritical, true);
    }
    Text1[0]->clear();
    Text1[1]->clear();
    Accept(key.value());
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
