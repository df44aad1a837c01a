#pragma once

#include <QWidget>

namespace slm {

// Puts `window` right beside the panel: its left edge at the panel's right
// edge, its top at the panel's top. On a screen too narrow for both, the
// window overlaps the panel rather than opening out of sight.
void PlaceBesidePanel(QWidget& window, const QWidget& panel);

}  // namespace slm
