#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace slm {

namespace {

constexpr int kIconSize = 48;

}  // namespace

QIcon TextIcon(const QString& text, const QColor& tile) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(3, 3, kIconSize - 6, kIconSize - 6), 8, 8);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(text.size() <= 2 ? 22 : text.size() <= 3 ? 16 : 12);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, kIconSize, kIconSize), Qt::AlignCenter, text);
  return QIcon(pixmap);
}

QPixmap GlyphPixmap(Glyph glyph, const QColor& color, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 48.0, size / 48.0);
  p.setPen(QPen(color, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(color);
  switch (glyph) {
    case Glyph::kPlay:
      p.drawPolygon(QPolygonF({QPointF(14, 8), QPointF(40, 24), QPointF(14, 40)}));
      break;
    case Glyph::kPause:
      p.drawRect(QRectF(12, 9, 8, 30));
      p.drawRect(QRectF(28, 9, 8, 30));
      break;
    case Glyph::kStop:
      p.drawRect(QRectF(11, 11, 26, 26));
      break;
    case Glyph::kArrowUp:
      p.drawPolygon(QPolygonF({QPointF(24, 6), QPointF(42, 26), QPointF(6, 26)}));
      p.drawRect(QRectF(17, 26, 14, 16));
      break;
    case Glyph::kArrowDown:
      p.drawPolygon(QPolygonF({QPointF(24, 42), QPointF(42, 22), QPointF(6, 22)}));
      p.drawRect(QRectF(17, 6, 14, 16));
      break;
    case Glyph::kClock:
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(6, 6, 36, 36));
      p.drawLine(QPointF(24, 24), QPointF(24, 12));
      p.drawLine(QPointF(24, 24), QPointF(33, 29));
      break;
    case Glyph::kChip:
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(12, 12, 24, 24), 3, 3);
      for (int i = 0; i < 3; ++i) {
        const double x = 17 + i * 7;
        p.drawLine(QPointF(x, 5), QPointF(x, 12));
        p.drawLine(QPointF(x, 36), QPointF(x, 43));
        p.drawLine(QPointF(5, x), QPointF(12, x));
        p.drawLine(QPointF(36, x), QPointF(43, x));
      }
      break;
    case Glyph::kErase:
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(8, 12), QPointF(40, 12));
      p.drawLine(QPointF(19, 12), QPointF(20, 6));
      p.drawLine(QPointF(29, 12), QPointF(28, 6));
      p.drawLine(QPointF(20, 6), QPointF(28, 6));
      p.drawPolyline(
          QPolygonF({QPointF(12, 12), QPointF(15, 42), QPointF(33, 42), QPointF(36, 12)}));
      p.drawLine(QPointF(21, 19), QPointF(21, 35));
      p.drawLine(QPointF(27, 19), QPointF(27, 35));
      break;
    case Glyph::kRefresh: {
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(8, 8, 32, 32), 60 * 16, 280 * 16);
      p.setBrush(color);
      p.drawPolygon(QPolygonF({QPointF(30, 4), QPointF(40, 12), QPointF(29, 17)}));
      break;
    }
  }
  return pixmap;
}

QIcon GlyphIcon(Glyph glyph, const QColor& color) {
  return QIcon(GlyphPixmap(glyph, color, kIconSize));
}

}  // namespace slm
