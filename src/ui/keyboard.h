#pragma once

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
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

// Closes the window it watches on an Esc that no control inside took for
// itself: an open drop-down list takes its Esc, and closes only itself.
class EscapeCloses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    static_cast<QWidget*>(watched)->close();
    return true;
  }
};

// Ctrl+W and Esc close `window`, as in every other desktop program. Esc is
// the key itself rather than a shortcut: a shortcut would also fire for the
// Esc that closes an open drop-down list. Once per window: a key bound twice
// would fire neither.
inline void AddCloseKeys(QWidget& window) {
  if (window.findChild<QShortcut*>("CloseKeys", Qt::FindDirectChildrenOnly) != nullptr) return;
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), &window);
  shortcut->setObjectName("CloseKeys");
  QObject::connect(shortcut, &QShortcut::activated, &window, [&window] { window.close(); });
  window.installEventFilter(new EscapeCloses(&window));
}

}  // namespace slm
