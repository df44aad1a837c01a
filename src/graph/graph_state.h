#pragma once

// The inside of Graph, shared by the files that implement it; nothing else
// includes this header (it brings in QCustomPlot).

#include <qcustomplot.h>

#include <QColor>
#include <QPoint>
#include <QSharedPointer>
#include <algorithm>
#include <vector>

#include "graph/graph.h"

namespace slm {
namespace graph_detail {

// Places an axis's ticks by its scale (analysis/plot_axes.h) and labels a
// tick at value x as x, or as x * 0.1 for the tenths format.
class AxisTicker : public QCPAxisTicker {
 public:
  void SetFactor(double factor) { factor_ = factor; }
  void SetScale(AxisScale scale) { scale_ = scale; }
  QString Label(double tick, const QLocale& locale, QChar format_char, int precision) {
    return getTickLabel(tick, locale, format_char, precision);
  }

 protected:
  double getTickStep(const QCPRange& range) override;
  int getSubTickCount(double step) override;
  QVector<double> createTickVector(double step, const QCPRange& range) override;
  QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                     QChar format_char, int precision) override;
  QString getTickLabel(double tick, const QLocale& locale, QChar format_char,
                       int precision) override;

 private:
  double factor_ = 1;
  AxisScale scale_ = AxisScale::kNumber;
  double step_ = 1;  // of the ticks being made
};

struct Annotation {
  QCPItemTracer* tracer;
  QCPItemText* text;
  QCPItemLine* arrow;
};

struct Cursor {
  QCPItemStraightLine* vertical;
  QCPItemStraightLine* horizontal;
  double x = 0;
  double y = 0;
  bool enabled = true;
};

// Shaded stretches of X, drawn together on the background layer: a year's
// parts of the day are one object, not a thousand items.
class ShadeLayer : public QCPLayerable {
 public:
  explicit ShadeLayer(QCustomPlot* plot) : QCPLayerable(plot, QStringLiteral("background")) {}
  std::vector<GraphOverlays::Shade> shades;

 protected:
  void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
  QRect clipRect() const override;
  void draw(QCPPainter* painter) override;
};

constexpr int kClickSlack = 3;  // pixels a click may move and still be a click

// An axis shows at least one unit: a range from 1 to 1 (a plot of no sample)
// becomes 1 to 2, and limits typed the wrong way round are taken in order.
void SetAxisRange(QCPAxis& axis, double min, double max);

}  // namespace graph_detail

struct Graph::State {
  Style style = Style::kLine;
  QCPGraph* line = nullptr;
  QCPBars* bars = nullptr;
  QSharedPointer<graph_detail::AxisTicker> ticker;
  QSharedPointer<graph_detail::AxisTicker> y_ticker;
  QCPTextElement* title = nullptr;
  QString title_text;
  QCPItemStraightLine* level_line = nullptr;
  graph_detail::ShadeLayer* shades = nullptr;
  QCPBars* bars_overlay = nullptr;  // PlotBars'
  QCPGraph* band_low = nullptr;     // the band's lower edge: the trace fills down to it
  bool view_controls = false;
  std::vector<graph_detail::Annotation> annotations;
  std::vector<graph_detail::Cursor> cursors;
  int strip_span = 100;
  TrackMode mode = TrackMode::kNormal;
  QColor plot_color = Qt::white;
  QPoint press_pos;
  bool pressed = false;
  bool dragging_cursor = false;
  QCPItemRect* stretch = nullptr;  // the stretch a Shift-drag is marking
  double stretch_from = 0;
  QCPLegend* key = nullptr;  // in its own row below the axes, when there is a key
  std::vector<QCPGraph*> key_entries;

  QCPAbstractPlottable* Trace() const {
    return line ? static_cast<QCPAbstractPlottable*>(line) : bars;
  }
  int Count() const { return line ? line->data()->size() : bars->data()->size(); }
  // Key and value of point `index`, clamped to the points there are.
  bool Point(int index, double* key, double* value) const {
    if (Count() == 0) return false;
    index = std::clamp(index, 0, Count() - 1);
    if (line) {
      auto it = line->data()->at(index);
      *key = it->key;
      *value = it->value;
    } else {
      auto it = bars->data()->at(index);
      *key = it->key;
      *value = it->value;
    }
    return true;
  }
};

}  // namespace slm
