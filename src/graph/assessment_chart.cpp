#include "graph/assessment_chart.h"

#include <qcustomplot.h>

#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/level_statistics.h"
#include "assessment/assessment_document.h"
#include "assessment/assessment_output.h"
#include "qt/widget_text.h"

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

// The size in screen pixels of `rect` on `painter`'s device: a chart laid
// out at it keeps the point size of its type on the page.
QSize ScreenSizeOf(const QPainter& painter, const QRectF& rect) {
  const double pixels_per_unit =
      static_cast<double>(QPicture().logicalDpiX()) / painter.device()->logicalDpiX();
  return {std::max(1, static_cast<int>(rect.width() * pixels_per_unit)),
          std::max(1, static_cast<int>(rect.height() * pixels_per_unit))};
}

// Draws `plot` as vectors into `rect`, laid out at its ScreenSizeOf.
void PaintPlot(QCustomPlot& plot, QPainter& painter, const QRectF& rect) {
  QPicture picture;
  const QSize size = ScreenSizeOf(painter, rect);
  QCPPainter picture_painter;
  if (!picture_painter.begin(&picture)) return;
  picture_painter.setMode(QCPPainter::pmVectorized);
  plot.toPainter(&picture_painter, size.width(), size.height());
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

}  // namespace

void ShowTimeHistory(Graph& graph, const MeasuredLevels& levels, const AssessmentSettings& settings,
                     const Assessment& a, int columns) {
  graph.Clear();
  graph.SetKey({});
  graph.SetXScale(AxisScale::kClock);
  graph.SetXCaption("Time (the records' clock)");
  graph.SetYCaption("Level (dB)");
  if (levels.samples.empty()) return;
  const double from = static_cast<double>(levels.samples.front().time);
  const double to = static_cast<double>(levels.samples.back().time + levels.period);
  // Shading finer than a few thousandths of the measurement shows nothing
  // more at first sight and only slows the drawing.
  const double slack = (to - from) / 5000;

  const QColor event_fill(255, 150, 0, 90);
  const QColor excluded_fill(90, 90, 90, 80);
  const QColor rolling_fill(0, 160, 60, 70);
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
  for (const Span& s : Joined(events, slack)) graph.AddSpan(s.from, s.to, event_fill);
  for (const Span& s : Joined(excluded, slack)) graph.AddSpan(s.from, s.to, excluded_fill);
  if (a.rolling_max) {
    // The window ends with the record at rolling_time and holds that record.
    const double end = static_cast<double>(a.rolling_time + a.period);
    graph.AddSpan(end - static_cast<double>(settings.rolling), end, rolling_fill);
  }

  std::vector<double> step_times;
  std::vector<double> step_levels;
  for (std::size_t i = 0; i < a.intervals.size(); ++i) {
    const IntervalLevels& row = a.intervals[i];
    const double leq = row.levels.Leq();
    const double end = static_cast<double>(row.start + settings.interval);
    step_times.push_back(static_cast<double>(row.start));
    step_levels.push_back(leq);
    const bool last = i + 1 == a.intervals.size();
    if (last || a.intervals[i + 1].start != row.start + settings.interval) {
      // The step ends with its interval, and a gap stays a gap.
      step_times.insert(step_times.end(), {end, end});
      step_levels.insert(step_levels.end(), {leq, kNoLevel});
    }
  }
  graph.PlotSteps(step_times, step_levels, Qt::black);

  double low = a.total.count > 0 ? a.total.lmin : 40;
  double high = a.total.count > 0 ? a.total.lmax : 80;
  for (const LevelSample& s : levels.samples) {
    if (s.kind == SampleKind::kPaused) continue;
    low = std::min(low, s.level);
    high = std::max(high, s.level);
  }
  std::vector<Graph::KeyEntry> key = {
      {"Levels (lowest to highest)", QColor(40, 90, 170)},
      {Latin1("Interval Leq (" + IntervalCaption(settings.interval) + ")"), Qt::black}};
  if (settings.threshold) {
    low = std::min(low, *settings.threshold);
    high = std::max(high, *settings.threshold);
    graph.SetLevelLine(*settings.threshold, QColor(200, 0, 0));
    key.push_back(
        {Latin1("Threshold " + OneDecimal(settings.threshold) + " dB"), QColor(200, 0, 0)});
  }
  if (!a.events.empty()) key.push_back({"Events", event_fill, true});
  if (!settings.exclusions.empty()) key.push_back({"Left out", excluded_fill, true});
  if (a.rolling_max) {
    key.push_back({Latin1("Worst " + IntervalCaption(settings.rolling) + ", " +
                          OneDecimal(a.rolling_max) + " dB"),
                   rolling_fill, true});
  }
  graph.SetKey(key);
  graph.SetXRange(from, to);
  graph.SetYRange(std::floor(low / 10.0) * 10.0 - 5, std::ceil(high / 10.0) * 10.0 + 5);
  DrawViewedLevels(graph, levels, columns);
}

void DrawViewedLevels(Graph& graph, const MeasuredLevels& levels, int columns) {
  const AxisRange view = graph.XRange();
  // Only the records in view, and one column on either side so that the
  // trace runs on to the edges.
  const double width = (view.max - view.min) / std::max(1, columns);
  const auto first = std::lower_bound(
      levels.samples.begin(), levels.samples.end(), view.min - width,
      [](const LevelSample& s, double t) { return static_cast<double>(s.time) < t; });
  const auto last = std::lower_bound(
      first, levels.samples.end(), view.max + width,
      [](const LevelSample& s, double t) { return static_cast<double>(s.time) < t; });
  const ColumnTrace trace = MinMaxColumns(std::span<const LevelSample>(first, last),
                                          view.min - width, view.max + width, columns + 2);
  graph.PlotPoints(trace.times, trace.levels);
}

void PaintTimeHistory(QPainter& painter, const QRectF& rect, const MeasuredLevels& levels,
                      const AssessmentSettings& settings, const Assessment& a) {
  // The window's graph, laid out at the size the page gives it in screen
  // pixels so that its type keeps its point size, with two columns of
  // levels to a point: as fine as the eye can see on paper.
  const QSize size = ScreenSizeOf(painter, rect);
  Graph graph;
  graph.resize(size);
  QFont font("DejaVu Sans");
  font.setPointSizeF(8);
  graph.setFont(font);
  ShowTimeHistory(
      graph, levels, settings, a,
      std::max(1, static_cast<int>(2 * rect.width() * 72.0 / painter.device()->logicalDpiX())));
  painter.save();
  painter.setClipRect(rect);
  painter.translate(rect.topLeft());
  // A picture played on a device of another resolution is scaled to it.
  graph.Render(painter, size.width(), size.height());
  painter.restore();
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
