#include "graph/text_pages.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "qt/widget_text.h"

namespace slm {

namespace {

constexpr const char* kReportFamily = "Lucida Console";
constexpr int kReportPoints = 8;

}  // namespace

QFont ReportFont() {
  QFont font = QFontDatabase::hasFamily(kReportFamily)
                   ? QFont(kReportFamily)
                   : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kReportPoints);
  return font;
}

int PaintTextPages(QPagedPaintDevice& device, const std::vector<std::string>& lines,
                   const QFont& font, const std::function<void(int page)>& on_page) {
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  painter.setFont(font);
  const QFontMetricsF metrics = painter.fontMetrics();
  const double line_height = std::max(1.0, metrics.lineSpacing());
  const double page_height = painter.viewport().height();
  int pages = 1;
  double top = 0;
  for (const std::string& line : lines) {
    // A page always takes at least one line, however small it is.
    if (top > 0 && top + line_height > page_height) {
      device.newPage();
      ++pages;
      top = 0;
      if (on_page) on_page(pages);
    }
    painter.drawText(QPointF(0, top + metrics.ascent()), Latin1(line));
    top += line_height;
  }
  painter.end();
  return pages;
}

}  // namespace slm
