#pragma once

#include <QLabel>

#include "ui/ui_services.h"

namespace velmora {

// A label that shows the maker's address: clicking opens it; moving the
// mouse over it underlines it, and the window takes the underline off again
// when the mouse moves over its background.
class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent);

    // The maker's link as both windows show it: blue text in the given font,
    // with its tooltip and pointer; a click opens the address.
    static LinkLabel* MakerLink(QWidget* parent, const QFont& font, const QString& tooltip,
                                const QCursor& pointer, Opener& opener);

    void SetUnderlined(bool underlined);
    bool Underlined() const { return font().underline(); }

  signals:
    void clicked();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace velmora
