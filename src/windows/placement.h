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

}  // namespace slm
