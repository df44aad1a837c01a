#include "windows/placement.h"

#include <QScreen>
#include <algorithm>

namespace slm {

void PlaceBesidePanel(QWidget& window, const QWidget& panel) {
  const QRect frame = panel.frameGeometry();
  QPoint at(frame.right() + 1, frame.top());
  const QScreen* screen = panel.screen();
  if (screen == nullptr) {
    window.move(at);
    return;
  }
  const QRect room = screen->availableGeometry();
  // The window frame's own border and title, as far as they are known.
  const QSize decoration = window.frameGeometry().size() - window.geometry().size();
  const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
  QSize size = window.size().boundedTo(room.size() - decoration).expandedTo(least);
  // Narrower first, down to its least width, to stay beside the panel;
  // then, if it must, over the panel.
  const int beside = room.right() + 1 - at.x() - decoration.width();
  if (size.width() > beside) size.setWidth(std::max(least.width(), beside));
  const int fits_from = room.right() + 1 - (size.width() + decoration.width());
  if (at.x() > fits_from) at.setX(std::max(room.left(), fits_from));
  if (at.x() + size.width() + decoration.width() > room.right() + 1) {
    size.setWidth(std::max(least.width(), room.right() + 1 - at.x() - decoration.width()));
  }
  at.setY(
      std::clamp(at.y(), room.top(),
                 std::max(room.top(), room.bottom() + 1 - size.height() - decoration.height())));
  window.resize(size);
  window.move(at);
}

}  // namespace slm
