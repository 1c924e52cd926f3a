#include <QImageReader>
#include <QLabel>
#include <QStyle>
#include <QtTest>

#include "platform/posix/posix_file_system.h"
#include "tests/ui/ui_doubles.h"
#include "ui/cursors.h"
#include "ui/f3.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/window_style.h"

namespace velmora {

// The design of the three windows: names, places, texts, fonts, focus order.
class WindowsLayoutTest : public QObject {
    Q_OBJECT

  private:
    UiDoubles doubles;
    RecordingOpener& opener = doubles.opener;
    UiServices& services = doubles.services;
    PosixFileSystem files;
    EngineState engine;
    ProgramState state;
    CipherTables tables{nullptr};

    static void ExpectControl(QWidget* window, const char* name, QRect geometry, int tab) {
        QWidget* control = window->findChild<QWidget*>(name);
        QVERIFY2(control, name);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->property("tabIndex").toInt(), tab);
    }

    static void ExpectFont(QWidget* control, const QString& family, double points, bool bold) {
        QCOMPARE(control->font().family(), family);
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);
        QVERIFY(!control->font().italic() && !control->font().underline());
    }

    static void ExpectFixedWindow(QWidget* window, QSize client) {
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize(), client);
        QCOMPARE(window->maximumSize(), client);
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
    }

    // The focusable controls in the order Tab visits them, from `first`.
    static QStringList TabChain(QWidget* first, int count) {
        QStringList names;
        QWidget* at = first;
        for (int i = 0; i < count; ++i, at = at->nextInFocusChain()) {
            while (at->focusPolicy() == Qt::NoFocus || at->isWindow() || at->isHidden())
                at = at->nextInFocusChain();
            names << at->objectName();
        }
        return names;
    }

  private slots:
    void initTestCase() {
        InstallFontSubstitutes();
        LoadDesignResources();
    }

    void mainWindow() {
        Form1 form(files, engine, services);
        ExpectFixedWindow(&form, QSize(256, 197));
        QCOMPARE(form.windowTitle(), QString());
        ExpectControl(&form, "Picture1", QRect(24, 0, 201, 94), 9);
        ExpectControl(&form, "P1", QRect(8, 104, 241, 17), 3);
        ExpectControl(&form, "Command1", QRect(88, 128, 81, 33), 0);
        ExpectControl(&form, "Label3", QRect(16, 168, 220, 26), 8);
        ExpectControl(&form, "Dir1", QRect(264, 232, 81, 51), 1);
        ExpectControl(&form, "File1", QRect(352, 240, 81, 32), 2);
        QCOMPARE(form.Command1->text(), QString("Cancelar"));
        ExpectFont(form.Command1, "Comic Sans MS", 11.25, false);
        ExpectFont(form.Label3, "Comic Sans MS", 14.25, false);
        QCOMPARE(form.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(form.Label3->toolTip(), QString("M\u00e1s Programas..."));
        QCOMPARE(form.Label3->cursor().shape(), Qt::UpArrowCursor);
        QCOMPARE(form.P1->Tag(), QString("0"));
        QCOMPARE(form.Picture1->pixmap().size(), QSize(201, 94));
        form.show();
        QVERIFY(!form.Dir1->isVisible() && !form.File1->isVisible());
        QCOMPARE(TabChain(form.Command1, 2), (QStringList{"Command1", "Command1"}));
    }

    void passwordDialog() {
        Form2 form(state, tables, services, "/opt");
        ExpectFixedWindow(&form, QSize(255, 173));
        QCOMPARE(form.windowTitle(), QString("Escriba la contrase\u00f1a:"));
        QCOMPARE(form.Tag, QString("1"));
        ExpectControl(&form, "Image1", QRect(0, 0, 53, 127), -1);
        QCOMPARE(form.findChildren<QLineEdit*>("Text1").size(), 2);
        QCOMPARE(form.Text1[0]->geometry(), QRect(64, 16, 177, 33));
        QCOMPARE(form.Text1[1]->geometry(), QRect(64, 56, 177, 33));
        ExpectControl(&form, "Command1", QRect(64, 96, 81, 33), 2);
        ExpectControl(&form, "Command2", QRect(160, 96, 81, 33), 3);
        ExpectControl(&form, "Label3", QRect(35, 144, 185, 21), 4);
        for (QLineEdit* box : form.Text1) {
            QCOMPARE(box->echoMode(), QLineEdit::Password);
            QCOMPARE(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box),
                     int('*'));
            ExpectFont(box, "MS Sans Serif", 18, false);
            QVERIFY(box->text().isEmpty());
        }
        QCOMPARE(form.Text1[0]->maxLength(), 15);
        QCOMPARE(form.Text1[1]->maxLength(), 32767);
        QCOMPARE(form.Command1->text(), QString("Ok"));
        QCOMPARE(form.Command2->text(), QString("Cancelar"));
        QVERIFY(!form.Command1->isDefault() && !form.Command1->autoDefault());
        ExpectFont(form.Command1, "MS Sans Serif", 12, false);
        ExpectFont(form.Label3, "Times New Roman", 14.25, false);
        QCOMPARE(form.Label3->toolTip(), QString("More M\u00e1s Programas..."));
        QCOMPARE(form.Image1->toolTip(), QString("Ayuda de Velmora"));
        QVERIFY(form.Image1->hasScaledContents());
        QCOMPARE(form.Label3->cursor().hotSpot(), QPoint(12, 1));
        QCOMPARE(form.Image1->cursor().hotSpot(), QPoint(0, 0));
        QCOMPARE(TabChain(form.Text1[0], 5),
                 (QStringList{"Text1", "Text1", "Command1", "Command2", "Text1"}));
        QCOMPARE(form.Text1[0]->nextInFocusChain(), form.Text1[1]);
    }

    void instructionsWindow() {
        F3 form;
        ExpectFixedWindow(&form, QSize(442, 325));
        QCOMPARE(form.windowTitle(), QString("Velmora 2.0"));
        ExpectControl(&form, "Picture2", QRect(16, 8, 191, 168), 1);
        ExpectControl(&form, "Picture1", QRect(224, 32, 201, 94), 0);
        ExpectControl(&form, "Label1", QRect(64, 192, 369, 65), 2);
        ExpectControl(&form, "Image1", QRect(16, 208, 35, 35), -1);
        ExpectControl(&form, "Command1", QRect(128, 264, 185, 49), 3);
        QCOMPARE(form.Label1->text(),
                 QString("Para Encriptar una carpeta, pulse el bot\u00f3n derecho del mouse, y "
                         "seleccione \"Encriptar..\""));
        QVERIFY(form.Label1->wordWrap());
        QCOMPARE(form.Label1->palette().color(QPalette::WindowText), QColor(192, 64, 0));
        ExpectFont(form.Label1, "Comic Sans MS", 12, false);
        ExpectFont(form.Command1, "Comic Sans MS", 15.75, true);
        QCOMPARE(form.Command1->text(), QString("ACEPTAR"));
        QVERIFY(form.Command1->isDefault());
        QCOMPARE(form.Picture2->pixmap().size(), QSize(191, 168));
    }

    void instructionsCloseOnEnterEscapeAndButton() {
        for (int way = 0; way < 3; ++way) {
            F3 form;
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            if (way == 0)
                QTest::keyClick(&form, Qt::Key_Return);
            if (way == 1)
                QTest::keyClick(&form, Qt::Key_Escape);
            if (way == 2)
                form.Command1->click();
            QVERIFY2(!form.isVisible(), qPrintable(QString::number(way)));
        }
    }

    void picturesIconsAndCursorsHaveTheirDesignFormats() {
        struct Expected {
            const char* file;
            QByteArray format;
            QSize size;
            int images;
        };
        for (const Expected& e : {Expected{":/logo.gif", "gif", {201, 94}, 1},
                                  Expected{":/menu.gif", "gif", {281, 219}, 1},
                                  Expected{":/title.bmp", "bmp", {159, 296}, 1},
                                  Expected{":/padlock.ico", "ico", {32, 32}, 1},
                                  Expected{":/question.ico", "ico", {32, 32}, 1},
                                  Expected{":/smile.ico", "ico", {16, 16}, 5}}) {
            QImageReader reader(e.file);
            QCOMPARE(reader.format(), e.format);
            QCOMPARE(reader.size(), e.size);
            QCOMPARE(reader.imageCount(), e.images);
        }
        QCOMPARE(QImage(":/title.bmp").depth(), 32);  // 24-bit RGB, held as 32
        QFile logo(":/logo.gif");
        QVERIFY(logo.open(QIODevice::ReadOnly));
        const QByteArray gif = logo.readAll();
        QCOMPARE(gif[10] & 0x87, 0x87);  // a global palette of 2^(7+1) = 256 colours
        QCOMPARE(DesignCursor(":/hand_color.cur").pixmap().size(), QSize(32, 32));
    }
};

}  // namespace velmora

QTEST_MAIN(velmora::WindowsLayoutTest)
#include "windows_layout_test.moc"
