#include "ui/qt/layout_builder.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include "app/window_layouts.h"
#include "ui/qt/link_label.h"
#include "ui/qt/program_text.h"
#include "ui/qt/progress_box.h"

namespace velmora {
namespace {

// Design names: plain ASCII.
QString Latin(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString ProgramText(std::string_view text) {
    return FromProgramText(std::string(text));
}

QString ResourceFile(Resource resource) {
    switch (resource) {
        case Resource::kPadlockIcon:
            return ":/padlock.ico";
        case Resource::kQuestionIcon:
            return ":/question.ico";
        case Resource::kSmilingFace:
            return ":/smile.ico";
        case Resource::kLogo:
            return ":/logo.gif";
        case Resource::kContextMenu:
            return ":/menu.gif";
        case Resource::kVerticalTitle:
            return ":/title.bmp";
        case Resource::kColourHand:
            return ":/hand_color.cur";
        case Resource::kMonochromeHand:
            return ":/hand_mono.cur";
        case Resource::kNone:
            break;
    }
    return QString();
}

QCursor PointerCursor(Pointer pointer) {
    switch (pointer) {
        case Pointer::kUpArrow:
            return Qt::UpArrowCursor;
        case Pointer::kColourHand:
            return DesignCursor(ResourceFile(Resource::kColourHand));
        case Pointer::kMonochromeHand:
            return DesignCursor(ResourceFile(Resource::kMonochromeHand));
        case Pointer::kDefault:
            break;
    }
    return Qt::ArrowCursor;
}

QPixmap Picture(const ControlLayout& control) {
    const QString file = ResourceFile(control.picture);
    if (control.picture == Resource::kSmilingFace)
        return QIcon(file).pixmap(48, 48);  // its largest image, scaled to the box
    const QPixmap picture(file);
    if (control.fit == PictureFit::kClipped)
        return picture.copy(0, 0, control.width, control.height);
    return picture;
}

QLabel* MakePicture(QWidget* window, const ControlLayout& control) {
    QLabel* label = control.pressable ? new PressableLabel(window) : new QLabel(window);
    if (control.picture == Resource::kNone)
        return label;
    label->setPixmap(Picture(control));
    label->setScaledContents(control.fit == PictureFit::kStretched);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* MakeLabel(QWidget* window, const ControlLayout& control) {
    QLabel* label = control.link ? new LinkLabel(window) : new QLabel(window);
    label->setText(ProgramText(control.caption));
    label->setWordWrap(control.word_wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (control.colour)
        SetTextColour(label,
                      QColor(control.colour->red, control.colour->green, control.colour->blue));
    return label;
}

QLineEdit* MakeTextBox(QWidget* window, const ControlLayout& control) {
    auto* box = new QLineEdit(window);
    box->setText(ProgramText(control.caption));
    if (control.password) {
        box->setEchoMode(QLineEdit::Password);
        // The design shows every character as "*", not the style's bullet.
        box->setStyleSheet("lineedit-password-character: 42;");
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    if (control.max_length > 0)
        box->setMaxLength(control.max_length);
    // Qt's editing menu would be in English.
    box->setContextMenuPolicy(Qt::NoContextMenu);
    return box;
}

// Enter on a focused push button presses it, in any window. (Qt's own
// "auto default" would also make the first such button of a dialog its
// default button, which a window without one must not have.)
class EnterPressesButton : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

QPushButton* MakeButton(QWidget* window, const ControlLayout& control) {
    auto* button = new QPushButton(ProgramText(control.caption), window);
    button->setAutoDefault(false);
    button->setDefault(control.is_default);
    button->installEventFilter(new EnterPressesButton(button));
    if (control.is_cancel) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        QObject::connect(escape, &QShortcut::activated, button, &QPushButton::click);
    }
    return button;
}

QWidget* MakeControl(QWidget* window, const ControlLayout& control) {
    switch (control.kind) {
        case ControlKind::kPictureBox:
        case ControlKind::kImage:
            return MakePicture(window, control);
        case ControlKind::kProgressBox: {
            auto* box = new ProgressBox(window);
            if (control.colour)
                box->SetColour(
                    QColor(control.colour->red, control.colour->green, control.colour->blue));
            return box;
        }
        case ControlKind::kLabel:
            return MakeLabel(window, control);
        case ControlKind::kTextBox:
            return MakeTextBox(window, control);
        case ControlKind::kPushButton:
            return MakeButton(window, control);
        case ControlKind::kFolderList:
        case ControlKind::kFileList:
            return new QListWidget(window);
    }
    return new QWidget(window);
}

}  // namespace

void BuildWindow(QWidget* window, const WindowLayout& layout) {
    InstallAccessibility();
    MakeDesignWindow(window, Latin(layout.name), layout.client_width, layout.client_height,
                     FromProgramText(ShownCaption(std::string(layout.caption))),
                     ResourceFile(layout.icon));
    for (const ControlLayout& control : layout.controls) {
        QWidget* widget = MakeControl(window, control);
        widget->setObjectName(Latin(control.name));
        widget->setProperty("Index", control.index);
        widget->setProperty("tabIndex", control.tab_index);
        widget->setGeometry(control.left, control.top, control.width, control.height);
        if (!control.font.name.empty())
            widget->setFont(
                DesignFont(Latin(control.font.name), control.font.points, control.font.bold));
        if (!control.tooltip.empty())
            widget->setToolTip(ProgramText(control.tooltip));
        if (control.pointer != Pointer::kDefault)
            widget->setCursor(PointerCursor(control.pointer));
        widget->setAccessibleName(ProgramText(AccessibleName(control)));
        if (PressedFromKeyboard(control))
            widget->setFocusPolicy(Qt::TabFocus);
        else if (control.tab_index < 0)
            widget->setFocusPolicy(Qt::NoFocus);
        if (!control.visible)
            widget->setVisible(false);
    }
    const std::vector<const ControlLayout*> order = TabOrder(layout);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(FindBuilt(window, order[i - 1]->name, order[i - 1]->index),
                             FindBuilt(window, order[i]->name, order[i]->index));
    KeepFrameCentred(window);
}

QWidget* FindBuilt(QWidget* window, std::string_view name, int index) {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (QWidget* child : window->findChildren<QWidget*>(wanted, Qt::FindDirectChildrenOnly))
        if (child->property("Index").toInt() == index)
            return child;
    return nullptr;
}

}  // namespace velmora
