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

void PlaceBesideList(QWidget& window, const QWidget& list, QSize wanted) {
  const QScreen* screen = list.screen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  const QRect anchor = list.frameGeometry();
  const QSize decoration = window.frameGeometry().size() - window.geometry().size();
  const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
  QSize size = wanted.boundedTo(room.size() - decoration).expandedTo(least);
  const int right_room = room.right() - anchor.right() - decoration.width();
  const int left_room = anchor.left() - room.left() - decoration.width();
  const bool right = size.width() <= right_room || right_room >= left_room;
  const int side_room = right ? right_room : left_room;
  if (size.width() > side_room) size.setWidth(std::max(least.width(), side_room));
  const int outer = size.width() + decoration.width();
  int x = right ? anchor.right() + 1 : anchor.left() - outer;
  x = std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - outer));
  const int y =
      std::clamp(anchor.top(), room.top(),
                 std::max(room.top(), room.bottom() + 1 - size.height() - decoration.height()));
  window.resize(size);
  window.move(x, y);
}

void PlaceOnScreen(QWidget& window, const QWidget& near, QSize wanted) {
  const QScreen* screen = near.screen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  const QSize decoration = window.frameGeometry().size() - window.geometry().size();
  const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
  const QSize size = wanted.boundedTo(room.size() - decoration).expandedTo(least);
  window.resize(size);
  window.move(room.left() + std::max(0, (room.width() - size.width() - decoration.width()) / 2),
              room.top() + std::max(0, (room.height() - size.height() - decoration.height()) / 2));
}

}  // namespace slm
