#pragma once

// Looks at a laid-out window as a person would: every control it shows lies
// inside its parent, no two shown siblings overlap, and no caption is cut.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QToolBar>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace slm::test {

inline std::string Describe(const QWidget& w) {
  return (w.objectName().isEmpty() ? std::string(w.metaObject()->className())
                                   : w.objectName().toStdString()) +
         " " + std::to_string(w.x()) + "," + std::to_string(w.y()) + " " +
         std::to_string(w.width()) + "x" + std::to_string(w.height());
}

// The faults found, one line each; empty when the window looks right.
inline std::vector<std::string> LayoutFaults(const QWidget& window) {
  std::vector<std::string> faults;
  auto shown = [&window](const QWidget* w) { return w->isVisibleTo(&window) && !w->isWindow(); };
  const QList<QWidget*> all = window.findChildren<QWidget*>();
  for (const QWidget* w : all) {
    if (!shown(w) || w->parentWidget() == nullptr) continue;
    const QWidget* parent = w->parentWidget();
    // The parts of scroll areas, tool bars and item views are placed by Qt
    // itself, and a scrolled page may be larger than its viewport.
    if (qobject_cast<const QAbstractScrollArea*>(parent) != nullptr ||
        qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) != nullptr ||
        qobject_cast<const QToolBar*>(parent) != nullptr) {
      continue;
    }
    if (!parent->rect().contains(w->geometry())) {
      faults.push_back("outside its parent: " + Describe(*w) + " in " + Describe(*parent));
    }
    for (const QObject* other : parent->children()) {
      const auto* sibling = qobject_cast<const QWidget*>(other);
      if (sibling == nullptr || !std::less<const QWidget*>{}(w, sibling) || !shown(sibling)) {
        continue;
      }
      if (w->geometry().intersects(sibling->geometry())) {
        faults.push_back("overlap: " + Describe(*w) + " and " + Describe(*sibling));
      }
    }
    const QFontMetrics metrics(w->font());
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
      // A label that gives up its size hint must still hold its text; only
      // the status strip's last message may be cut.
      const bool checked = label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored
                               ? label->objectName() != "LblLastMessage"
                               : !label->wordWrap();
      // A caption with a buddy shows its "&" as an underline.
      QString text = label->text();
      if (label->buddy()) text.replace("&&", "\x01").remove('&').replace('\x01', '&');
      const int needed = metrics.horizontalAdvance(text);
      if (checked && !label->text().isEmpty() && needed > label->contentsRect().width()) {
        faults.push_back("cut text: " + Describe(*w) + " needs " + std::to_string(needed));
      }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      const QSize least = button->minimumSizeHint();
      if (!button->text().isEmpty() &&
          (least.width() > button->width() || least.height() > button->height())) {
        faults.push_back("cut caption: " + Describe(*w) + " needs " +
                         std::to_string(least.width()) + "x" + std::to_string(least.height()));
      }
    } else if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
      QStyleOptionGroupBox option;
      option.initFrom(box);
      option.text = box->title();
      option.subControls = QStyle::SC_GroupBoxLabel;
      const QRect title =
          box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
      if (!box->title().isEmpty() && !box->rect().contains(title)) {
        faults.push_back("cut title: " + Describe(*w));
      }
    }
  }
  return faults;
}

// The same, one line each in one text, for a test's message.
inline std::string LayoutFaultText(const QWidget& window) {
  std::string text;
  for (const std::string& fault : LayoutFaults(window)) text += fault + "\n";
  return text;
}

}  // namespace slm::test
