#pragma once

#include <QAction>
#include <QKeySequence>
#include <QToolBar>
#include <QWidget>

namespace slm {

// Lets Tab reach the buttons of `toolbar` (a toolbar's buttons take no focus
// of their own); call it once the toolbar has all its actions.
inline void TabReachesToolButtons(QToolBar& toolbar) {
  for (QAction* action : toolbar.actions()) {
    if (QWidget* button = toolbar.widgetForAction(action)) button->setFocusPolicy(Qt::TabFocus);
  }
}

// The shortcut every window's print command shares.
inline QKeySequence PrintShortcut() { return QKeySequence(Qt::CTRL | Qt::Key_P); }

}  // namespace slm
