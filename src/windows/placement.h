#pragma once

#include <QWidget>

namespace slm {

// Puts `window` right beside the panel: its left edge at the panel's right
// edge, its top at the panel's top, and no larger than the screen's free
// room. On a screen too narrow for both it slides left over the panel and
// narrows, but not over `keep_clear` (the panel's level display) as long as
// it fits beside it at its least width; a window that cannot is kept on the
// screen.
void PlaceBesidePanel(QWidget& window, const QWidget& panel, const QWidget* keep_clear = nullptr);

}  // namespace slm
