#pragma once

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
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

// Ctrl+W and Esc close `window`, as in every other desktop program. Once per
// window: a key bound twice would fire neither.
inline void AddCloseKeys(QWidget& window) {
  if (window.findChild<QShortcut*>("CloseKeys", Qt::FindDirectChildrenOnly) != nullptr) return;
  for (const QKeySequence& keys :
       {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}) {
    auto* shortcut = new QShortcut(keys, &window);
    shortcut->setObjectName("CloseKeys");
    QObject::connect(shortcut, &QShortcut::activated, &window, [&window] { window.close(); });
  }
}

}  // namespace slm
