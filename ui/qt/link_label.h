#pragma once

#include <QLabel>

#include "app/main_window.h"

namespace velmora {

// A label that shows an address: clicking it emits clicked(); moving the
// mouse over it underlines it, and the window takes the underline off again
// through MouseOverBackground().
class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent);

    void MouseOverBackground();
    bool Underlined() const { return font().underline(); }
    // What the desktop is asked to open.
    QString Target() const;

  signals:
    void clicked();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void ShowUnderline();

    LinkHover hover_;
};

}  // namespace velmora
