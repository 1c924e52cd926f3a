#include <QAccessible>
#include <QMessageBox>
#include <QtTest>

#include "platform/posix/posix_file_system.h"
#include "tests/temp_folder.h"
#include "tests/ui/ui_doubles.h"
#include "ui/qt/form1.h"
#include "ui/qt/message_boxes.h"
#include "ui/qt/window_style.h"

namespace velmora {

// The main window's behaviour: progress, "Cancelar", closing, the link.
class Form1Test : public QObject {
    Q_OBJECT

  private:
    UiDoubles doubles;
    RecordingOpener& opener = doubles.opener;
    UiServices& services = doubles.services;
    PosixFileSystem files;
    EngineState state;

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // A sealed job's moments: the key's wait in the caption and the busy
    // pointer, then the work's caption; at the end one notification.
    void aSealedJobTellsItsMoments() {
        std::vector<QString> notices;
        services.notify = [&notices](const QString& text) { notices.push_back(text); };
        Form1 form(files, state, services);
        Host& host = form;
        host.SealedJob(SealedMoment::kDerivingKey, "");
        QCOMPARE(form.windowTitle(), QString("Preparando la clave..."));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        host.SealedJob(SealedMoment::kKeyReady, "");
        QCOMPARE(form.windowTitle(), QString("Codificando..."));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(notices.empty());
        host.SealedJob(SealedMoment::kSealed, "\\tmp\\Mis fotos.zol");
        QCOMPARE(notices,
                 std::vector<QString>{
                     "La carpeta est\u00e1 guardada y cifrada en \u00ab/tmp/Mis fotos.zol\u00bb."});
    }

    void progressFillsTenthsOfTheBoxAndKeepsTheMark() {
        Form1 form(files, state, services);
        QCOMPARE(form.P1->FilledWidth(), 0);
        form.AdvanceProgress(3);
        QCOMPARE(form.P1->Tag(), QString("3"));
        const int inside = form.P1->contentsRect().width();
        QCOMPARE(form.P1->FilledWidth(), inside * 3 / 10);
        QCOMPARE(QAccessible::queryAccessibleInterface(form.P1)->valueInterface()->currentValue(),
                 QVariant(30));  // what a screen reader reads
        form.AdvanceProgress(9);
        QCOMPARE(form.P1->FilledWidth(), inside * 9 / 10);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage drawn = form.P1->grab().toImage();
        QCOMPARE(drawn.pixelColor(form.P1->contentsRect().left() + 5, 8), QColor(0, 0, 255));
        QVERIFY(drawn.pixelColor(form.P1->contentsRect().right() - 3, 8) != QColor(0, 0, 255));
    }

    // "Cancelar" deletes the unfinished container, the close box keeps it
    // and forgets the key; both close every file and end.
    void cancelDeletesTheUnfinishedContainerClosingKeepsIt() {
        for (const bool cancel : {true, false}) {
            TempFolder temp;
            temp.Write("a.zol", "unfinished");
            const int open = files.Open(temp.path + "\\a.zol", OpenMode::kRead).value();
            Form1 form(files, state, services);
            form.SetPicture1Tag(temp.path + "\\a.zol");
            state.PasswordKey = "KEY";
            form.show();
            bool ended = false;
            try {
                if (cancel)
                    form.Command1_Click();
                else
                    form.close();
            } catch (const ProgramEnded&) {
                ended = true;
            }
            QVERIFY(ended);
            QCOMPARE(temp.Exists("a.zol"), !cancel);
            std::uint8_t byte;
            QVERIFY(!files.Read(open, 0, &byte, 1).ok());  // closed
            QCOMPARE(state.PasswordKey.empty(), !cancel);
        }
    }

    void linkOpensTheAddressAndUnderlinesOnHover() {
        Form1 form(files, state, services);
        form.show();
        QTest::mouseClick(form.Label3, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), std::size_t(1));
        QCOMPARE(opener.opened[0], QUrl("http://velmora.example.org"));
        QMouseEvent over(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form.Label3, &over);
        QVERIFY(form.Label3->Underlined());
        QMouseEvent away(QEvent::MouseMove, QPointF(3, 180), QPointF(3, 180), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &away);
        QVERIFY(!form.Label3->Underlined());
    }

    void messageBoxesSayAceptar() {
        QtMessageBoxes boxes;
        QStringList buttons;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        boxes.Show("Contrase\u00f1a incorrecta.", MessageIcon::kCritical);
        QCOMPARE(title, QString("Velmora"));
        QCOMPARE(buttons, QStringList{"Aceptar"});
    }
};

}  // namespace velmora

QTEST_MAIN(velmora::Form1Test)
#include "form1_test.moc"
