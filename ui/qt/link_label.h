#pragma once

#include <QLabel>

#include "app/main_window.h"

namespace velmora {

// A label or picture that does something when pressed: a left click, or
// Enter or Space once Tab has reached it, emits clicked(). Focused from the
// keyboard it shows the style's focus rectangle; otherwise it looks as any
// label.
class PressableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit PressableLabel(QWidget* parent) : QLabel(parent) {}

  signals:
    void clicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A label that shows an address: pressing it emits clicked(); moving the
// mouse over it underlines it, and the window takes the underline off again
// through MouseOverBackground().
class LinkLabel : public PressableLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent);

    void MouseOverBackground();
    bool Underlined() const { return font().underline(); }
    // What the desktop is asked to open.
    QString Target() const;

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void ShowUnderline();

    LinkHover hover_;
};

}  // namespace velmora
