#include <QtTest>

#include "app/window_layouts.h"
#include "base/utf8.h"
#include "container/sealed/sealed_keys.h"
#include "tests/ui/ui_doubles.h"
#include "ui/qt/form2.h"
#include "ui/qt/layout_builder.h"

namespace velmora {

class Form2Test : public QObject {
    Q_OBJECT

  private:
    RecordingMessages messages;
    RecordingOpener opener;
    int ends = 0;
    UiServices services{messages, opener, [this] { ++ends; }};
    CipherTables tables{nullptr};
    std::unique_ptr<ProgramState> state;  // anew for each dialog
    std::unique_ptr<Form2> form;

    // A dialog in the given mode, shown and active.
    Form2& Open(const QString& tag, const std::string& subject = "/home/ana/Mis fotos") {
        messages = RecordingMessages();
        ends = 0;
        form.reset();
        state = std::make_unique<ProgramState>();
        state->shown_subject = subject;
        tables.CrearBuffer();
        form = std::make_unique<Form2>(*state, tables, services, "/opt/velmora");
        form->Tag = tag;
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("dialog not active");
        return *form;
    }

    // Types ASCII through the keyboard; other text (QTest types only ASCII)
    // is inserted as an input method would.
    void Type(int box, const QString& text) {
        form->Text1[box]->setFocus();
        bool ascii = true;
        for (const QChar c : text)
            ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(form->Text1[box], text);
        else
            form->Text1[box]->insert(text);
    }

    void ExpectRefusal(const QString& text, MessageIcon icon) {
        QCOMPARE(messages.texts.size(), std::size_t(1));
        QCOMPARE(messages.texts[0], text);
        QCOMPARE(messages.icons[0], icon);
        QVERIFY(form->isVisible());
        QVERIFY(form->Text1[0]->text().isEmpty());
        QVERIFY(form->Text1[0]->hasFocus());
    }

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // The rules themselves are the shared decision's; the dialog shows its
    // message, empties the boxes it says and waits for another try. A lone
    // surrogate has no UTF-8 form: sealing refuses it, does not replace it.
    void refusalShowsTheMessageAndEmptiesWhatItSays() {
        const QString characters =
            "La contrase\u00f1a tiene caracteres que no se pueden usar. Escr\u00edbala sin ellos.";
        const QString lone = QString("abcdefgh") + QChar(0xD800);
        const struct {
            QString tag, first, second, message;
            MessageIcon icon;
            QString second_box;
        } cases[] = {
            // The lower box upper-cased and kept.
            {"1", "ab", "zz", "La contrase\u00f1a debe tener al menos 3 caracteres.",
             MessageIcon::kInformation, "ZZ"},
            // A with macron: no Windows-1252 code.
            {"1", "a\u0101b", "a\u0101b", characters, MessageIcon::kCritical, ""},
            {"3", lone, lone, characters, MessageIcon::kCritical, ""},
        };
        for (const auto& c : cases) {
            Open(c.tag);
            Type(0, c.first);
            Type(1, c.second);
            form->Command1->click();
            ExpectRefusal(c.message, c.icon);
            QCOMPARE(form->Text1[1]->text(), c.second_box);
            QVERIFY(state->key.empty() && state->sealed_password.empty());
        }
    }

    // Sealing: the first box has no 15-character limit, and what is typed
    // reaches the rules as UTF-8, exactly (case included).
    void sealingTakesAnyCharactersAsTyped() {
        Open("3");
        const QString typed = "\u0141\u00f3d\u017a \u65e5\u672c \u0101\u00f1";
        Type(0, typed);
        Type(1, typed);
        form->Command1->click();
        QVERIFY(messages.texts.empty());
        QVERIFY(!form->isVisible());
        QCOMPARE(QString::fromStdString(state->sealed_password), typed);
        QVERIFY(state->key.empty());
    }

    // Opening a sealed container: one box, the password checked against
    // the container's key check; a wrong one leaves the dialog waiting (the
    // right one: tests/form_load_sealed_test.cpp).
    void openingASealedContainerChecksItsKey() {
        Open("4");
        SealedHeader header = NewSealedHeader({1, 8192, 4096}).value();
        header.key_check = SealedKeys::Derive("Ñandú azul", header.salt, header.parameters)
                               .value()
                               .KeyCheck(EncodeSealedHeader(header));
        state->sealed_header = header;
        Type(0, "\u00f1and\u00fa azul");  // the wrong case
        // While the key is derived: the caption says so, the pointer is busy.
        QString caption_while;
        QCursor* pointer_while = nullptr;
        QTimer::singleShot(0, form.get(), [&] {
            caption_while = form->windowTitle();
            pointer_while = QApplication::overrideCursor();
        });
        QTest::keyClick(form->Text1[0], Qt::Key_Return);
        QCOMPARE(caption_while, QString("Preparando la clave..."));
        QVERIFY(pointer_while && pointer_while->shape() == Qt::WaitCursor);
        QCOMPARE(form->windowTitle(), QString("Escribe la contrase\u00f1a:"));
        QVERIFY(!QApplication::overrideCursor());
        ExpectRefusal("Contrase\u00f1a incorrecta.", MessageIcon::kCritical);
        QVERIFY(!state->sealed_keys);
    }

    // A header asking for a costly key: the dialog asks before deriving
    // anything, and "No" ends the program as "Cancelar" does.
    void aCostlyKeyIsAskedAboutFirst() {
        Open("4");
        state->sealed_header = NewSealedHeader({64, 1u << 30, 4096}).value();
        Type(0, "contrase\u00f1a");
        form->Command1->click();
        QCOMPARE(messages.questions.size(), std::size_t(1));
        QVERIFY(messages.questions[0].startsWith("La cabecera del contenedor pide"));
        QVERIFY(messages.questions[0].endsWith("\u00bfDerivar la clave de todos modos?"));
        QCOMPARE(ends, 1);
        QVERIFY(messages.texts.empty());
        QVERIFY(!state->sealed_keys);
    }

    // The legacy dialogs keep the table's size and the first box's limit of
    // 15, the rows hidden; the sealed ones take longer passwords and grow to
    // hold the rows, which say what will happen to the folder or container
    // however its path ends, and the password's rule (the rows' paths as
    // start-up gives them: tests/form_load_sealed_test.cpp). The lower box
    // only where the password is made.
    void eachModeShowsItsBoxesAndOnlyTheSealedOnesSayWhatWillHappen() {
        const struct {
            QString tag;
            std::string subject;
            QString what, rule;  // parts of the rows; none in the legacy modes
        } cases[] = {
            {"1", "/home/ana/Mis fotos", "", ""},
            {"2", "/home/ana/Mis fotos.zol", "", ""},
            {"3", "/home/ana/Mis fotos/",
             "carpeta \u00abMis fotos\u00bb se guardar\u00e1 cifrada en \u00abMis fotos.zol\u00bb",
             "al menos 8 caracteres"},
            {"3", "C:\\Datos",
             "\u00abDatos\u00bb se guardar\u00e1 cifrada en \u00abDatos.zol\u00bb",
             "dos veces igual"},
            {"4", "/home/ana/Fotos.ZOL",
             "seguro \u00abFotos.ZOL\u00bb: la carpeta \u00abFotos\u00bb se restaurar\u00e1",
             "se encript\u00f3"},
            {"4", ShownUtf8("/home/ana/\u0141\u00f3d\u017a.zol"),
             "\u00ab\u0141\u00f3d\u017a.zol\u00bb: la carpeta \u00ab\u0141\u00f3d\u017a\u00bb",
             "se encript\u00f3"},
        };
        for (const auto& c : cases) {
            Open(c.tag, c.subject);
            const bool sealed = !c.what.isEmpty();
            const DialogMode mode = ModeFromTag(c.tag.toStdString());
            QCOMPARE(form->size(), QSize(Form2Layout().client_width, Form2ClientHeight(mode)));
            QCOMPARE(form->Label4->isVisible(), sealed);
            QCOMPARE(form->Label5->isVisible(), sealed);
            QCOMPARE(form->Text1[1]->isVisible(), c.tag == "1" || c.tag == "3");
            const int limit = form->Text1[0]->maxLength();
            QVERIFY2(sealed ? limit > 1024 : limit == 15, qPrintable(QString::number(limit)));
            if (!sealed)
                continue;
            QVERIFY2(form->Label4->text().contains(c.what), qPrintable(form->Label4->text()));
            QVERIFY2(form->Label5->text().contains(c.rule), qPrintable(form->Label5->text()));
            QVERIFY(form->Label4->wordWrap());
            // Every row fits its label, inside the window.
            for (QLabel* row : {form->Label4, form->Label5})
                QVERIFY(row->heightForWidth(row->width()) <= row->height() &&
                        row->geometry().bottom() < form->height());
        }
    }

    void enterOnTheFocusedOkPressesIt() {
        Open("1");
        QTest::keyClick(form->Text1[0], Qt::Key_Tab);
        QTest::keyClick(form->Text1[1], Qt::Key_Tab);
        QVERIFY(form->Command1->hasFocus());
        QTest::keyClick(form->Command1, Qt::Key_Return);
        QCOMPARE(messages.texts, std::vector<QString>{"Contrase\u00f1a incorrecta."});
        for (QLineEdit* box : form->Text1)
            QCOMPARE(box->contextMenuPolicy(), Qt::NoContextMenu);  // Qt's menu is English
    }

    void cancelEscapeAndCloseEndTheProgram() {
        Open("1");
        state->key = "leftover";
        form->Command2->click();
        QCOMPARE(ends, 1);
        QVERIFY(state->key.empty());
        Open("1");
        QTest::keyClick(form.get(), Qt::Key_Escape);
        QCOMPARE(ends, 1);
        Open("2");
        form->close();
        QCOMPARE(ends, 1);
    }

    void caretGoesToTheEndOnFocus() {
        Open("1");
        form->Text1[1]->setText("abcd");
        form->Text1[1]->setCursorPosition(0);
        form->Text1[1]->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!form->Text1[1]->hasSelectedText());
        QCOMPARE(form->Text1[1]->cursorPosition(), 4);
    }

    // A click, or Enter or Space once Tab has reached them.
    void helpPictureAndLinkOpenTheirTargets() {
        Open("1");
        for (const Qt::Key key : {Qt::Key_unknown, Qt::Key_Return, Qt::Key_Space}) {
            for (PressableLabel* pressed :
                 {form->Image1, static_cast<PressableLabel*>(form->Label3)}) {
                if (key == Qt::Key_unknown) {
                    QTest::mouseClick(pressed, Qt::LeftButton);
                } else {
                    pressed->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(pressed, key);
                }
            }
            QCOMPARE(opener.opened.size(), std::size_t(2));
            QCOMPARE(opener.opened[0], QUrl::fromLocalFile("/opt/velmora/velmora.hlp"));
            QCOMPARE(opener.opened[1].host(), QString("velmora.example.org"));
            opener.opened.clear();
        }
    }
};

}  // namespace velmora

QTEST_MAIN(velmora::Form2Test)
#include "form2_test.moc"
