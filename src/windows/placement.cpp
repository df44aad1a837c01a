#include "windows/placement.h"

#include <QScreen>
#include <algorithm>

namespace slm {

void PlaceBesidePanel(QWidget& window, const QWidget& panel) {
  const QRect frame = panel.frameGeometry();
  QPoint at(frame.right() + 1, frame.top());
  if (const QScreen* screen = panel.screen()) {
    const QRect room = screen->availableGeometry();
    const int width = std::max(window.frameGeometry().width(), window.minimumSizeHint().width());
    at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - width)));
  }
  window.move(at);
}

}  // namespace slm
