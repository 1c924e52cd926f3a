#pragma once

#include <QColor>
#include <QFrame>
#include <QString>
#include <cstdint>

#include "app/main_window.h"

namespace velmora {

// The progress box: a framed box the work draws its marks in. Screen
// readers see a progress bar and its percentage (accessibility.h).
class ProgressBox : public QFrame {
    Q_OBJECT
  public:
    explicit ProgressBox(QWidget* parent);

    void SetColour(const QColor& colour) { colour_ = colour; }
    // Fills from the mark in the tag to `mark` and keeps `mark` in the tag.
    void FillTo(std::int64_t mark);
    QString Tag() const { return QString::fromStdString(marks_.Tag()); }
    // The right edge of the filled area, in pixels inside the frame.
    int FilledWidth() const { return marks_.FilledWidth(contentsRect().width()); }
    int Percent() const { return marks_.Percent(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ProgressMarks marks_;
    QColor colour_;
};

}  // namespace velmora
