#include "graph/assessment_chart.h"

#include <qcustomplot.h>

#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/assessment_output.h"
#include "analysis/level_statistics.h"

namespace slm {

namespace {

constexpr double kNoLevel = std::numeric_limits<double>::quiet_NaN();

QFont ChartFont(double points) {
  QFont font("DejaVu Sans");
  font.setPointSizeF(points);
  return font;
}

// A plot for one drawing: white, the same numbers in every locale, small
// type as a page wants it.
void SetUpPlot(QCustomPlot& plot, const QString& x_caption, const QString& y_caption) {
  plot.setLocale(QLocale::c());
  plot.setBackground(Qt::white);
  plot.setFont(ChartFont(8));
  for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
    axis->setTickLabelFont(ChartFont(7));
    axis->setLabelFont(ChartFont(8));
  }
  plot.xAxis->setLabel(x_caption);
  plot.yAxis->setLabel(y_caption);
  plot.legend->setFont(ChartFont(7));
  plot.legend->setBrush(QColor(255, 255, 255, 220));
}

// Draws `plot` as vectors into `rect`: laid out at the size the page gives
// it in screen pixels, so that its type keeps its point size.
void PaintPlot(QCustomPlot& plot, QPainter& painter, const QRectF& rect) {
  QPicture picture;
  const double pixels_per_unit =
      static_cast<double>(picture.logicalDpiX()) / painter.device()->logicalDpiX();
  const int width = std::max(1, static_cast<int>(rect.width() * pixels_per_unit));
  const int height = std::max(1, static_cast<int>(rect.height() * pixels_per_unit));
  QCPPainter picture_painter;
  if (!picture_painter.begin(&picture)) return;
  picture_painter.setMode(QCPPainter::pmVectorized);
  plot.toPainter(&picture_painter, width, height);
  picture_painter.end();
  // A picture played on a device of another resolution is scaled to it, so
  // that it comes out at `rect`'s size.
  painter.save();
  painter.setClipRect(rect);
  painter.drawPicture(rect.topLeft(), picture);
  painter.restore();
}

struct Span {
  double from;
  double to;
};

// Stretches closer than `slack` are joined: shading narrower than a column
// shows nothing more and only makes the file larger.
std::vector<Span> Joined(std::vector<Span> spans, double slack) {
  std::sort(spans.begin(), spans.end(),
            [](const Span& x, const Span& y) { return x.from < y.from; });
  std::vector<Span> joined;
  for (const Span& s : spans) {
    if (!joined.empty() && s.from <= joined.back().to + slack) {
      joined.back().to = std::max(joined.back().to, s.to);
    } else {
      joined.push_back(s);
    }
  }
  return joined;
}

// Shades the full height of the plot over each span, below the traces.
void Shade(QCustomPlot& plot, const std::vector<Span>& spans, const QBrush& brush) {
  for (const Span& s : spans) {
    auto* rect = new QCPItemRect(&plot);
    rect->setLayer("grid");
    rect->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
    rect->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
    rect->topLeft->setCoords(s.from, 0);
    rect->bottomRight->setCoords(s.to, 1);
    rect->setPen(Qt::NoPen);
    rect->setBrush(brush);
  }
}

// A legend entry for shading, which items do not have: an empty graph with
// the shading's brush.
void LegendShade(QCustomPlot& plot, const QString& name, const QBrush& brush) {
  QCPGraph* entry = plot.addGraph();
  entry->setName(name);
  entry->setPen(QPen(QColor(120, 120, 120), 0.5));
  entry->setBrush(brush);
}

QString ClockFormat(double span_seconds) {
  if (span_seconds > 2 * 86400.0) return "yyyy/MM/dd\nhh:mm";
  if (span_seconds > 600) return "MM/dd\nhh:mm";
  return "hh:mm:ss";
}

}  // namespace

ColumnTrace MinMaxColumns(const std::vector<LevelSample>& samples, double from, double to,
                          int columns) {
  ColumnTrace trace;
  if (columns <= 0 || to <= from) return trace;
  const double width = (to - from) / columns;
  int column = -1;
  double low = 0;
  double high = 0;
  auto flush = [&] {
    if (column < 0) return;
    const double middle = from + (column + 0.5) * width;
    trace.times.insert(trace.times.end(), {middle, middle});
    trace.levels.insert(trace.levels.end(), {low, high});
  };
  for (const LevelSample& s : samples) {
    if (s.kind == SampleKind::kPaused) continue;
    const int c = std::clamp(static_cast<int>((s.time - from) / width), 0, columns - 1);
    if (c != column) {
      flush();
      if (column >= 0 && c > column + 1) {
        trace.times.push_back(from + (column + 1.5) * width);
        trace.levels.push_back(kNoLevel);
      }
      column = c;
      low = high = s.level;
    } else {
      low = std::min(low, s.level);
      high = std::max(high, s.level);
    }
  }
  flush();
  return trace;
}

void PaintTimeHistory(QPainter& painter, const QRectF& rect, const MeasuredLevels& levels,
                      const AssessmentSettings& settings, const Assessment& a) {
  if (levels.samples.empty()) return;
  const double from = static_cast<double>(levels.samples.front().time);
  const double to = static_cast<double>(levels.samples.back().time + levels.period);
  // Two columns to a point of the page: as fine as the eye can see on paper.
  const int columns =
      std::max(1, static_cast<int>(2 * rect.width() * 72.0 / painter.device()->logicalDpiX()));
  const double column_width = (to - from) / columns;

  QCustomPlot plot;
  SetUpPlot(plot, "Time (the records' clock)", "Level (dB)");

  const QBrush event_brush(QColor(255, 150, 0, 90));
  const QBrush excluded_brush(QColor(90, 90, 90), Qt::BDiagPattern);
  std::vector<Span> events;
  for (const ExceedanceEvent& e : a.events) {
    events.push_back({static_cast<double>(e.start), static_cast<double>(e.end)});
  }
  std::vector<Span> excluded;
  for (const Exclusion& e : settings.exclusions) {
    if (e.to > from && e.from < to) {
      excluded.push_back({std::max<double>(e.from, from), std::min<double>(e.to, to)});
    }
  }
  Shade(plot, Joined(events, column_width), event_brush);
  Shade(plot, Joined(excluded, column_width), excluded_brush);

  const ColumnTrace trace = MinMaxColumns(levels.samples, from, to, columns);
  QCPGraph* level_graph = plot.addGraph();
  level_graph->setName("Levels");
  level_graph->setPen(QPen(QColor(40, 90, 170), 0.4));
  level_graph->setAdaptiveSampling(false);
  level_graph->setData(QVector<double>(trace.times.begin(), trace.times.end()),
                       QVector<double>(trace.levels.begin(), trace.levels.end()), true);

  QVector<double> step_times;
  QVector<double> step_levels;
  for (std::size_t i = 0; i < a.intervals.size(); ++i) {
    const IntervalLevels& row = a.intervals[i];
    const double start = static_cast<double>(row.start);
    const double end = start + static_cast<double>(settings.interval);
    step_times << start << end;
    step_levels << row.levels.Leq() << row.levels.Leq();
    if (i + 1 < a.intervals.size() && a.intervals[i + 1].start != row.start + settings.interval) {
      step_times << end;
      step_levels << kNoLevel;
    }
  }
  QCPGraph* step_graph = plot.addGraph();
  step_graph->setName(QString("Interval Leq (%1 s)").arg(settings.interval));
  step_graph->setPen(QPen(Qt::black, 1.2));
  step_graph->setData(step_times, step_levels, true);

  double low = a.total.lmin;
  double high = a.total.lmax;
  for (const double level : trace.levels) {
    if (std::isnan(level)) continue;
    low = std::min(low, level);
    high = std::max(high, level);
  }
  if (settings.threshold) {
    low = std::min(low, *settings.threshold);
    high = std::max(high, *settings.threshold);
    QCPGraph* threshold = plot.addGraph();
    threshold->setName(
        QString::fromStdString("Threshold " + OneDecimal(settings.threshold) + " dB"));
    threshold->setPen(QPen(QColor(200, 0, 0), 1.0, Qt::DashLine));
    threshold->setData({from, to}, {*settings.threshold, *settings.threshold}, true);
  }
  if (!a.events.empty()) LegendShade(plot, "Events", event_brush);
  if (!settings.exclusions.empty()) LegendShade(plot, "Left out", excluded_brush);

  plot.xAxis->setRange(from, to);
  plot.yAxis->setRange(std::floor(low / 10.0) * 10.0 - 5, std::ceil(high / 10.0) * 10.0 + 5);
  auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
  ticker->setDateTimeSpec(Qt::UTC);  // the records' clock has no time zone
  ticker->setDateTimeFormat(ClockFormat(to - from));
  ticker->setTickCount(8);
  plot.xAxis->setTicker(ticker);
  // The legend goes in a row below the axes, where it hides no level.
  plot.legend->setVisible(true);
  plot.axisRect()->insetLayout()->take(plot.legend);
  plot.plotLayout()->addElement(1, 0, plot.legend);
  plot.plotLayout()->setRowStretchFactor(1, 0.001);
  plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
  plot.legend->setWrap(3);
  plot.legend->setBorderPen(Qt::NoPen);
  PaintPlot(plot, painter, rect);
}

void PaintLevelHistogram(QPainter& painter, const QRectF& rect, const AssessmentSettings& settings,
                         const Assessment& a) {
  if (a.total.count <= 0 || a.classes.empty()) return;
  // 1 dB classes from the 0.1 dB ones: class k holds k.0 to k.9 dB.
  QVector<double> keys;
  QVector<double> shares;
  int low = -1;
  int high = -1;
  for (int whole = 0; whole * 10 < static_cast<int>(a.classes.size()); ++whole) {
    std::int64_t n = 0;
    for (int k = whole * 10; k < std::min<int>(whole * 10 + 10, a.classes.size()); ++k) {
      n += a.classes[static_cast<std::size_t>(k)];
    }
    if (n == 0) continue;
    if (low < 0) low = whole;
    high = whole;
    keys << whole + 0.5;
    shares << 100.0 * static_cast<double>(n) / static_cast<double>(a.total.count);
  }
  QCustomPlot plot;
  SetUpPlot(plot, "Level (dB), classes of 1 dB", "Share of the counted records (%)");
  auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
  bars->setWidth(1);
  bars->setPen(QPen(QColor(40, 90, 170), 0.4));
  bars->setBrush(QColor(120, 160, 220));
  bars->setData(keys, shares, true);
  const double top = *std::max_element(shares.begin(), shares.end()) * 1.3;
  plot.xAxis->setRange(low - 2, high + 3);
  plot.yAxis->setRange(0, top);
  for (std::size_t i = 0; i < a.total.percentiles.size() && i < settings.percentiles.size(); ++i) {
    const double level = a.total.percentiles[i];
    auto* line = new QCPItemStraightLine(&plot);
    line->point1->setCoords(level, 0);
    line->point2->setCoords(level, 1);
    line->setPen(QPen(QColor(200, 0, 0), 0.6, Qt::DashLine));
    auto* label = new QCPItemText(&plot);
    label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    // Neighbouring percentiles are often close: their captions take turns in height.
    label->position->setCoords(level, 0.02 + 0.06 * static_cast<double>(i % 3));
    label->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
    label->setFont(ChartFont(6.5));
    label->setColor(QColor(160, 0, 0));
    label->setBrush(QColor(255, 255, 255, 200));
    label->setText(QString("L%1").arg(settings.percentiles[i]));
  }
  PaintPlot(plot, painter, rect);
}

}  // namespace slm
