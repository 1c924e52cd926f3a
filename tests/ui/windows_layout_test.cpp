#include <QAccessible>
#include <QLabel>
#include <QStyle>
#include <QtTest>

#include "app/window_layouts.h"
#include "platform/posix/posix_file_system.h"
#include "tests/ui/ui_doubles.h"
#include "ui/qt/form1.h"
#include "ui/qt/form2.h"
#include "ui/qt/layout_builder.h"
#include "ui/qt/qt_windows.h"

namespace velmora {

// The Qt windows as their layout tables describe them.
class WindowsLayoutTest : public QObject {
    Q_OBJECT

  private:
    UiDoubles doubles;
    UiServices& services = doubles.services;
    PosixFileSystem files;
    ProgramState state;
    CipherTables tables{nullptr};

    // Every control of the table is there, where and how the table says.
    static void ExpectBuiltFrom(QWidget* window, const WindowLayout& layout) {
        QCOMPARE(window->objectName(), QString::fromLatin1(layout.name.data()));
        QCOMPARE(window->size(), QSize(layout.client_width, layout.client_height));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (const ControlLayout& control : layout.controls) {
            QWidget* widget = FindBuilt(window, control.name, control.index);
            QVERIFY2(widget, control.name.data());
            QCOMPARE(widget->geometry(),
                     QRect(control.left, control.top, control.width, control.height));
            QCOMPARE(widget->isVisible(), control.visible);
            if (control.visible)  // named for screen readers
                QVERIFY2(!QAccessible::queryAccessibleInterface(widget)
                              ->text(QAccessible::Name)
                              .isEmpty(),
                         control.name.data());
            if (!control.font.name.empty()) {
                QCOMPARE(widget->font().family(), QString::fromLatin1(control.font.name.data()));
                QCOMPARE(widget->font().pointSizeF(), control.font.points);
                QCOMPARE(widget->font().bold(), control.font.bold);
                QVERIFY(!widget->font().italic() && !widget->font().underline());
            }
            if (auto* button = qobject_cast<QPushButton*>(widget))
                QCOMPARE(button->isDefault(), control.is_default);
        }
        // Tab visits the visible controls in the table's order, round again.
        std::vector<QWidget*> expected;
        for (const ControlLayout* control : TabOrder(layout)) {
            QWidget* widget = FindBuilt(window, control->name, control->index);
            if (widget->isVisible() && widget->focusPolicy() & Qt::TabFocus)
                expected.push_back(widget);
        }
        QWidget* at = expected.front();
        for (std::size_t i = 1; i <= expected.size(); ++i) {
            at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisible())
                at = at->nextInFocusChain();
            QCOMPARE(at, expected[i % expected.size()]);
        }
    }

  private slots:
    void initTestCase() {
        InstallFontSubstitutes();
        LoadDesignResources();
    }

    void windowsFollowTheirTables() {
        Form1 form1(files, state, services);
        ExpectBuiltFrom(&form1, Form1Layout());
        QCOMPARE(form1.Label3->cursor().shape(), Qt::UpArrowCursor);
        QCOMPARE(form1.Picture1->pixmap().size(), QSize(201, 94));

        Form2 form2(state, tables, services, "/opt");
        ExpectBuiltFrom(&form2, Form2Layout());
        QCOMPARE(form2.windowTitle(), QString("Escriba la contrase\u00f1a:"));
        QCOMPARE(form2.Label3->toolTip(), QString("More M\u00e1s Programas..."));
        for (QLineEdit* box : form2.Text1) {
            QCOMPARE(box->echoMode(), QLineEdit::Password);
            QCOMPARE(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box),
                     int('*'));
        }
        QCOMPARE(form2.Text1[0]->maxLength(), 15);
        QVERIFY(form2.Text1[1]->maxLength() > 15);
        QCOMPARE(form2.Label3->cursor().hotSpot(), QPoint(12, 1));
        QCOMPARE(form2.Image1->cursor().hotSpot(), QPoint(0, 0));

        F3 f3;
        ExpectBuiltFrom(&f3, F3Layout());
        QCOMPARE(f3.Label1->text(),
                 QString("Para Encriptar una carpeta, pulse el bot\u00f3n derecho del mouse, y "
                         "seleccione \"Encriptar..\""));
        QCOMPARE(f3.Label1->palette().color(QPalette::WindowText), QColor(192, 64, 0));
        QCOMPARE(f3.Picture2->pixmap().size(), QSize(191, 168));  // clipped, not scaled
    }
};

}  // namespace velmora

QTEST_MAIN(velmora::WindowsLayoutTest)
#include "windows_layout_test.moc"
