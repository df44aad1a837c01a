#pragma once

#include <QLabel>
#include <QPushButton>

namespace slm {

// A push button whose caption wraps onto a second line when the button is
// narrower than its caption, so that a small window shows every word of it.
// Breaks fall at blanks and after a "/".
class WrapButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  mutable QSize minimum_;
};

// The largest pixel size of `font`, from `smallest` to `largest`, at which
// `widest` (the longest text to be shown) fits `room` on one line.
int FittingPixelSize(QFont font, const QString& widest, QSize room, int smallest, int largest);

}  // namespace slm
