#include <QAccessible>
#include <QMessageBox>
#include <QtTest>

#include "platform/posix/posix_file_system.h"
#include "tests/temp_folder.h"
#include "tests/ui/ui_doubles.h"
#include "ui/qt/form1.h"
#include "ui/qt/layout_builder.h"
#include "ui/qt/ui_services.h"

namespace velmora {

// The main window's behaviour: progress, "Cancelar", closing, the link.
class Form1Test : public QObject {
    Q_OBJECT

  private:
    UiDoubles doubles;
    RecordingOpener& opener = doubles.opener;
    UiServices& services = doubles.services;
    PosixFileSystem files;
    ProgramState state;

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

    // While a run heeds the token, "Cancelar" only sets it: the run's next
    // safe point answers it. Otherwise "Cancelar" and the close box both
    // close every file and end; the close box forgets the key.
    void cancelSetsTheTokenOfARunOrEndsLikeClosing() {
        struct Case {
            const char* what;
            CancelToken::Heed heed;
            bool cancel;
            bool ends;
        } cases[] = {{"cancel in a run", CancelToken::Heed::kAtSafePoint, true, false},
                     {"cancel in a wipe", CancelToken::Heed::kWipeStops, true, false},
                     {"cancel outside a run", CancelToken::Heed::kNone, true, true},
                     {"close box", CancelToken::Heed::kAtSafePoint, false, true}};
        for (const Case& c : cases) {
            TempFolder temp;
            temp.Write("a.zol", "unfinished");
            const int open = files.Open(temp.path + "\\a.zol", OpenMode::kRead).value();
            state.cancel.Clear();
            CancelToken::Heeding heeding(state.cancel, c.heed);
            Form1 form(files, state, services);
            state.key = "KEY";
            form.show();
            bool ended = false;
            try {
                if (c.cancel)
                    form.Command1_Click();
                else
                    form.close();
            } catch (const ProgramEnded&) {
                ended = true;
            }
            QVERIFY2(ended == c.ends, c.what);
            QVERIFY2(state.cancel.requested() == c.cancel, c.what);
            std::uint8_t byte;
            QVERIFY2(files.Read(open, 0, &byte, 1).ok() == !c.ends, c.what);  // closed at the end
            QVERIFY2(state.key.empty() == !c.cancel, c.what);
            (void)files.Close(open);
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
