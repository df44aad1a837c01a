#include "ui/fitting_widgets.h"

#include <QEvent>
#include <QRegularExpression>
#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace slm {

namespace {

constexpr int kFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

// The caption with a break allowed after each "/".
QString Breakable(const QString& text) {
  QString out = text;
  out.replace('/', QStringLiteral("/\u200B"));
  return out;
}

// Padding and frame around the caption, as the style lays the button out.
QSize Chrome(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  const QSize outer =
      button.style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), &button);
  return outer;
}

}  // namespace

QSize WrapButton::minimumSizeHint() const {
  if (minimum_.isValid()) return minimum_;
  const QFontMetrics metrics(font());
  const QString text = Breakable(this->text());
  // The narrowest width that still keeps the caption to two lines.
  const int one_line = metrics.horizontalAdvance(text);
  const int two_lines = 2 * metrics.lineSpacing();
  int width = 1;
  for (const QString& word : text.split(QRegularExpression("[ \u200B]"), Qt::SkipEmptyParts)) {
    width = std::max(width, metrics.horizontalAdvance(word));
  }
  while (width < one_line &&
         metrics.boundingRect(QRect(0, 0, width, 10000), kFlags, text).height() > two_lines) {
    width += 2;
  }
  const QSize chrome = Chrome(*this);
  minimum_ = QSize(width + chrome.width() + 4, two_lines + chrome.height());
  minimum_ = minimum_.expandedTo(minimumSize());
  return minimum_;
}

void WrapButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    minimum_ = QSize();
    updateGeometry();
  }
  QPushButton::changeEvent(event);
}

void WrapButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = Breakable(option.text);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::ButtonText));
  painter.drawText(area, kFlags, caption);
}

int FittingPixelSize(QFont font, const QString& widest, QSize room, int smallest, int largest) {
  font.setPixelSize(100);
  const QFontMetrics at_100(font);
  const double by_width = 100.0 * room.width() / std::max(1, at_100.horizontalAdvance(widest));
  const double by_height = 100.0 * room.height() / std::max(1, at_100.height());
  return std::clamp(static_cast<int>(std::min(by_width, by_height)), smallest, largest);
}

}  // namespace slm
