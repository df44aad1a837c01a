#pragma once

#include <QWidget>

namespace slm {

// Puts `window` right beside the panel: its left edge at the panel's right
// edge, its top at the panel's top, and no larger than the screen's free
// room. On a screen too narrow for both it first narrows down to its least
// width, and only then slides left over the panel, as little as it must, so
// that the panel's level display on the left stays in sight wherever the
// screen allows.
void PlaceBesidePanel(QWidget& window, const QWidget& panel);

// Opens `window` (a list's plot or histogram) at `wanted` size, cut down to
// the screen, beside `list` rather than over it: on the side with room for
// it, else on the side with more room, narrowed to that room down to its
// least width and only then over the list. Always wholly on the screen.
void PlaceBesideList(QWidget& window, const QWidget& list, QSize wanted);

// Opens `window` at `wanted` size, cut down to the screen `near` is on, in
// the middle of that screen.
void PlaceOnScreen(QWidget& window, const QWidget& near, QSize wanted);

}  // namespace slm
