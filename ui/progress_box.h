#pragma once

#include <QFrame>
#include <QString>
#include <cstdint>

namespace velmora {

// The progress box: a framed box across which marks 0 to 10 are drawn in
// blue, so a finished run (mark 9 at most) fills nine tenths of it. Its tag
// holds the last mark drawn, as text.
class ProgressBox : public QFrame {
    Q_OBJECT
  public:
    explicit ProgressBox(QWidget* parent);

    // Fills from the mark in the tag to `mark` and keeps `mark` in the tag.
    void FillTo(std::int64_t mark);
    QString Tag() const { return tag_; }
    // The right edge of the blue area, in pixels inside the frame.
    int FilledWidth() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString tag_ = "0";
    std::int64_t filled_ = 0;
};

}  // namespace velmora
