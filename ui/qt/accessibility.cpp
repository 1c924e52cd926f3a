#include "ui/qt/layout_builder.h"

#include <QAccessibleWidget>

#include "app/window_layouts.h"
#include "ui/qt/form1.h"
#include "ui/qt/program_text.h"

namespace velmora {
namespace {

class MainWindowAccessible : public QAccessibleWidget {
  public:
    explicit MainWindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        return FromProgramText(
            AccessibleName(Form1Layout(), ToProgramText(widget()->windowTitle()).value_or("")));
    }
};

class ProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit ProgressAccessible(ProgressBox* box)
        : QAccessibleWidget(box, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override {
        return static_cast<ProgressBox*>(widget())->Percent();
    }
    void setCurrentValue(const QVariant&) override {}  // the work alone moves it
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 0; }
};

class PressableAccessible : public QAccessibleWidget {
  public:
    PressableAccessible(PressableLabel* label, QAccessible::Role role)
        : QAccessibleWidget(label, role) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            emit static_cast<PressableLabel*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* Interface(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String("velmora::Form1"))
        return new MainWindowAccessible(static_cast<QWidget*>(object));
    if (class_name == QLatin1String("velmora::ProgressBox"))
        return new ProgressAccessible(static_cast<ProgressBox*>(object));
    if (class_name == QLatin1String("velmora::LinkLabel"))
        return new PressableAccessible(static_cast<PressableLabel*>(object), QAccessible::Link);
    if (class_name == QLatin1String("velmora::PressableLabel"))
        return new PressableAccessible(static_cast<PressableLabel*>(object), QAccessible::Button);
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Interface);
        return true;
    }();
    static_cast<void>(installed);
}

}  // namespace velmora
