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

const QColor kLevelsColor(40, 90, 170);
const QColor kBarColor(20, 20, 20);
const QColor kThresholdColor(200, 0, 0);
const QColor kEventColor(235, 120, 0);
const QColor kExcludedFill(90, 90, 90, 90);
const QColor kRollingColor(0, 150, 60);
// Day, evening and night: light enough that every mark shows over them.
const QColor kPartFills[3] = {QColor(255, 250, 222), QColor(250, 228, 238), QColor(222, 231, 248)};
const char* const kPartNames[3] = {"Day", "Evening", "Night"};

// The marks along the top of the plot: the events, below them the worst window.
constexpr double kEventRow = 0.045;
constexpr double kRollingRow = 0.08;

QColor Alpha(QColor color, int alpha) {
  color.setAlpha(alpha);
  return color;
}

std::string TwoDigits(int hour) { return (hour < 10 ? "0" : "") + std::to_string(hour); }

}  // namespace

void ShowTimeHistory(Graph& graph, const LevelSummaries& levels, const AssessmentSettings& settings,
                     const Assessment& a, int columns) {
  graph.Clear();
  graph.SetKey({});
  graph.SetXScale(AxisScale::kClock);
  graph.SetXCaption("Time (the records' clock)");
  graph.SetYCaption("Level (dB)");
  const std::vector<LevelSample>& samples = levels.levels().samples;
  if (samples.empty()) return;
  const double from = static_cast<double>(samples.front().time);
  const double to = static_cast<double>(samples.back().time + samples.back().period);

  // A bar for each interval with a counted record; one without has none.
  std::vector<double> starts;
  std::vector<double> leqs;
  for (const IntervalLevels& row : a.intervals) {
    if (row.levels.count == 0) continue;
    starts.push_back(static_cast<double>(row.start));
    leqs.push_back(row.levels.Leq());
  }
  graph.PlotBars(starts, leqs, static_cast<double>(settings.interval), kBarColor);

  double low = a.total.count > 0 ? a.total.lmin : 40;
  double high = a.total.count > 0 ? a.total.lmax : 80;
  if (const auto range = levels.Range()) {
    low = std::min(low, range->first);
    high = std::max(high, range->second);
  }
  std::vector<Graph::KeyEntry> key = {
      {"Levels (lowest to highest)", kLevelsColor},
      {Latin1("Interval Leq (" + IntervalCaption(settings.interval) + ")"), Alpha(kBarColor, 25),
       true}};
  if (settings.threshold) {
    low = std::min(low, *settings.threshold);
    high = std::max(high, *settings.threshold);
    graph.SetLevelLine(*settings.threshold, kThresholdColor);
    key.push_back({Latin1("Threshold " + OneDecimal(settings.threshold) + " dB"), kThresholdColor});
  }
  if (!a.events.empty()) key.push_back({"Events", kEventColor, true});
  if (!settings.exclusions.empty()) key.push_back({"Left out", kExcludedFill, true});
  if (a.rolling_max) {
    key.push_back({Latin1("Worst " + IntervalCaption(settings.rolling) + ", " +
                          OneDecimal(a.rolling_max) + " dB"),
                   kRollingColor, true});
  }
  // The parts of the day together, last.
  for (int part = 0; part < 3; ++part) {
    const int next = settings.part_starts[static_cast<std::size_t>((part + 1) % 3)];
    key.push_back({Latin1(std::string(kPartNames[part]) + " " +
                          TwoDigits(settings.part_starts[static_cast<std::size_t>(part)]) + "-" +
                          TwoDigits(next) + " h"),
                   kPartFills[part], true});
  }
  graph.SetKey(key);
  graph.SetXRange(from, to);
  // Room above the highest level for the marks along the top.
  graph.SetYRange(std::floor(low / 10.0) * 10.0 - 5, std::ceil(high / 10.0) * 10.0 + 8);
  DrawViewedLevels(graph, levels, settings, a, columns);
}

void DrawViewedLevels(Graph& graph, const LevelSummaries& levels,
                      const AssessmentSettings& settings, const Assessment& a, int columns) {
  const AxisRange view = graph.XRange();
  columns = std::max(1, columns);
  // One column on either side too, so that everything runs on to the edges.
  const double width = (view.max - view.min) / columns;
  const double from = view.min - width;
  const double to = view.max + width;
  const ColumnTrace trace = levels.Trace(from, to, columns + 2);
  graph.PlotBand(trace.times, trace.lows, trace.highs, kLevelsColor);

  std::vector<Graph::Shade> shades;
  for (const PartSpan& p : DayPartSpans(settings.part_starts, from, to)) {
    shades.push_back({p.span.from, p.span.to, kPartFills[p.part]});
  }
  std::vector<TimeSpan> holes = levels.Gaps(from, to, width);
  for (const Exclusion& e : settings.exclusions) {
    const TimeSpan span{static_cast<double>(e.from), static_cast<double>(e.to)};
    holes.push_back(span);
    if (span.to > from && span.from < to) {
      shades.push_back({std::max(span.from, from), std::min(span.to, to), kExcludedFill, 0, 1,
                        kExcludedFill.darker(150)});
    }
  }
  for (const TimeSpan& m : EventMarks(a.events, std::move(holes), from, to, width)) {
    shades.push_back({m.from, m.to, kEventColor, 0, kEventRow, kEventColor.darker(160)});
  }
  if (a.rolling_max) {
    // The window ends with the record at rolling_time and holds that record.
    const double end = static_cast<double>(a.rolling_time + a.rolling_period);
    shades.push_back({end - static_cast<double>(settings.rolling), end, kRollingColor, kEventRow,
                      kRollingRow, kRollingColor.darker(160)});
  }
  graph.SetShades(std::move(shades));
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
  const LevelSummaries summaries(levels);
  ShowTimeHistory(
      graph, summaries, settings, a,
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
