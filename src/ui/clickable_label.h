#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace slm {

// A label that reports clicks (the port label, the clock labels).
class ClickableLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> on_click;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        on_click) {
      on_click();
    }
    QLabel::mouseReleaseEvent(event);
  }
};

}  // namespace slm
