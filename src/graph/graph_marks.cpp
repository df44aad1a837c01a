// Graph's marks: annotations pinned to points, the cursors and the track
// modes that move the view or the first cursor.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "graph/graph.h"
#include "graph/graph_state.h"

namespace slm {

namespace graph_detail {

void ShadeLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const {
  applyAntialiasingHint(painter, false, QCP::aeOther);
}

QRect ShadeLayer::clipRect() const { return mParentPlot->axisRect()->rect(); }

void ShadeLayer::draw(QCPPainter* painter) {
  const QCPAxis& x = *mParentPlot->xAxis;
  const QRect area = mParentPlot->axisRect()->rect();
  for (const GraphOverlays::Shade& s : shades) {
    double left = x.coordToPixel(s.from);
    double right = x.coordToPixel(s.to);
    if (left > right) std::swap(left, right);
    if (right < area.left() || left > area.right() + 1) continue;
    // On whole pixels, and at least one wide.
    left = std::max(std::round(left), area.left() - 1.0);
    right = std::min(std::max(std::round(right), left + 1), area.right() + 2.0);
    const double top = area.top() + s.top * area.height();
    const double bottom = area.top() + s.bottom * area.height();
    painter->fillRect(QRectF(left, top, right - left, bottom - top), s.fill);
    if (s.edge.isValid() && right - left >= 3) {
      painter->setPen(QPen(s.edge, 0));
      painter->drawLine(QPointF(left, top), QPointF(left, bottom - 1));
      painter->drawLine(QPointF(right - 1, top), QPointF(right - 1, bottom - 1));
    }
  }
}

}  // namespace graph_detail

using graph_detail::Annotation;
using graph_detail::Cursor;

void Graph::AddAnnotation(int index, double caption_x, double caption_y, const QString& text) {
  double key = 0;
  double value = 0;
  if (!state_->Point(index, &key, &value)) return;
  auto* tracer = new QCPItemTracer(plot_);
  if (state_->line) {
    tracer->setGraph(state_->line);
    tracer->setGraphKey(key);
  } else {
    tracer->position->setCoords(key, value);
  }
  tracer->setStyle(QCPItemTracer::tsCircle);
  tracer->setSize(6);
  auto* label = new QCPItemText(plot_);
  label->position->setType(QCPItemPosition::ptPlotCoords);
  label->position->setCoords(caption_x, caption_y);
  label->setText(text);
  label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  auto* arrow = new QCPItemLine(plot_);
  arrow->start->setParentAnchor(label->bottom);
  arrow->end->setParentAnchor(tracer->position);
  arrow->setHead(QCPLineEnding::esSpikeArrow);
  state_->annotations.push_back({tracer, label, arrow});
  Replot();
}

int Graph::AnnotationCount() const { return static_cast<int>(state_->annotations.size()); }

QString Graph::AnnotationText(int i) const {
  if (i < 0 || i >= AnnotationCount()) return {};
  return state_->annotations[i].text->text();
}

void Graph::ClearAnnotations() {
  // The arrow hangs on the text and the tracer: it goes first.
  for (const Annotation& a : state_->annotations) {
    plot_->removeItem(a.arrow);
    plot_->removeItem(a.text);
    plot_->removeItem(a.tracer);
  }
  state_->annotations.clear();
  Replot();
}

void Graph::SetLevelLine(double y, const QColor& color) {
  if (std::isnan(y)) {
    if (state_->level_line) plot_->removeItem(state_->level_line);
    state_->level_line = nullptr;
  } else {
    if (!state_->level_line) {
      state_->level_line = new QCPItemStraightLine(plot_);
      state_->level_line->setSelectable(false);
    }
    state_->level_line->setPen(QPen(color, 1, Qt::DashLine));
    state_->level_line->point1->setCoords(0, y);
    state_->level_line->point2->setCoords(1, y);
  }
  Replot();
}

void Graph::SetShades(std::vector<Shade> shades) {
  if (!state_->shades) state_->shades = new graph_detail::ShadeLayer(plot_);
  state_->shades->shades = std::move(shades);
  Replot();
}

int Graph::ShadeCount() const {
  return state_->shades ? static_cast<int>(state_->shades->shades.size()) : 0;
}

void Graph::PlotBars(std::span<const double> x, std::span<const double> y, double width,
                     const QColor& color) {
  if (!state_->bars_overlay) {
    state_->bars_overlay = new QCPBars(plot_->xAxis, plot_->yAxis);
    state_->bars_overlay->setWidthType(QCPBars::wtPlotCoords);
    state_->bars_overlay->removeFromLegend();
  }
  QCPBars& bars = *state_->bars_overlay;
  bars.setWidth(width);
  bars.setPen(QPen(color, 1));
  QColor fill = color;
  fill.setAlpha(25);
  bars.setBrush(fill);
  const int n = static_cast<int>(std::min(x.size(), y.size()));
  // A bar stands on its middle.
  QVector<QCPBarsData> points(n);
  for (int k = 0; k < n; ++k) points[k] = QCPBarsData(x[k] + width / 2, y[k]);
  bars.data()->set(points, true);
  Replot();
}

int Graph::BarCount() const {
  return state_->bars_overlay ? state_->bars_overlay->data()->size() : 0;
}

void Graph::PlotBand(std::span<const double> x, std::span<const double> low,
                     std::span<const double> high, const QColor& color) {
  if (!state_->line) return;
  if (!state_->band_low) {
    state_->band_low = plot_->addGraph();
    state_->band_low->setPen(Qt::NoPen);
    state_->band_low->removeFromLegend();
  }
  const int n = static_cast<int>(std::min({x.size(), low.size(), high.size()}));
  QVector<QCPGraphData> highs(n);
  QVector<QCPGraphData> lows(n);
  for (int k = 0; k < n; ++k) {
    highs[k] = QCPGraphData(x[k], high[k]);
    lows[k] = QCPGraphData(x[k], low[k]);
  }
  state_->band_low->data()->set(lows, true);
  state_->line->data()->set(highs, true);
  state_->line->setPen(QPen(color, 1));
  state_->line->setBrush(color);
  state_->line->setChannelFillGraph(state_->band_low);
  Replot();
}

void Graph::SetKey(const std::vector<KeyEntry>& entries) {
  for (QCPGraph* entry : state_->key_entries) plot_->removeGraph(entry);
  state_->key_entries.clear();
  if (entries.empty()) {
    if (state_->key) {
      plot_->plotLayout()->remove(state_->key);
      plot_->plotLayout()->simplify();
      state_->key = nullptr;
    }
    Replot();
    return;
  }
  if (!state_->key) {
    // A row of its own below the axes, where it hides no level.
    state_->key = new QCPLegend;
    plot_->plotLayout()->addElement(plot_->plotLayout()->rowCount(), 0, state_->key);
    plot_->plotLayout()->setRowStretchFactor(plot_->plotLayout()->rowCount() - 1, 0.001);
    state_->key->setLayer(QStringLiteral("legend"));
    state_->key->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    state_->key->setBorderPen(Qt::NoPen);
    state_->key->setIconSize(18, 10);
  }
  for (const KeyEntry& e : entries) {
    // An entry is a graph without points: its pen or brush is what the key shows.
    QCPGraph* entry = plot_->addGraph();
    entry->removeFromLegend();
    entry->setName(e.caption);
    entry->setPen(e.patch ? QPen(e.color.darker(130), 0.5) : QPen(e.color, 2));
    entry->setBrush(e.patch ? QBrush(e.color) : QBrush());
    entry->addToLegend(state_->key);
    state_->key_entries.push_back(entry);
  }
  SizeFor(width());
  Replot();
}

int Graph::CursorCount() const { return static_cast<int>(state_->cursors.size()); }

void Graph::AddCursor(const QColor& color) {
  Cursor cursor;
  cursor.x = plot_->xAxis->range().center();
  cursor.y = plot_->yAxis->range().center();
  cursor.vertical = new QCPItemStraightLine(plot_);
  cursor.horizontal = new QCPItemStraightLine(plot_);
  for (QCPItemStraightLine* line : {cursor.vertical, cursor.horizontal}) {
    line->setPen(QPen(color));
    line->setSelectable(false);
    line->setAntialiased(false);  // crisp, one pixel wide
  }
  // The level line of a cursor shows only while it is being read ("Cursor
  // Coordinates"): otherwise a cursor would look like a threshold.
  cursor.horizontal->setVisible(state_->mode == TrackMode::kDragCursor);
  state_->cursors.push_back(cursor);
  SetCursorPosition(CursorCount(), cursor.x, cursor.y);
}

void Graph::RemoveAllCursors() {
  for (const Cursor& c : state_->cursors) {
    plot_->removeItem(c.vertical);
    plot_->removeItem(c.horizontal);
  }
  state_->cursors.clear();
  Replot();
}

void Graph::SetCursorPosition(int number, double x, double y) {
  if (number < 1 || number > CursorCount()) return;
  Cursor& c = state_->cursors[number - 1];
  c.x = x;
  c.y = y;
  c.vertical->point1->setCoords(x, 0);
  c.vertical->point2->setCoords(x, 1);
  c.horizontal->point1->setCoords(0, y);
  c.horizontal->point2->setCoords(1, y);
  Replot();
}

double Graph::CursorX(int number) const {
  if (number < 1 || number > CursorCount()) return 0;
  return state_->cursors[number - 1].x;
}

double Graph::CursorY(int number) const {
  if (number < 1 || number > CursorCount()) return 0;
  return state_->cursors[number - 1].y;
}

void Graph::SetCursorEnabled(int number, bool enabled) {
  if (number < 1 || number > CursorCount()) return;
  Cursor& c = state_->cursors[number - 1];
  c.enabled = enabled;
  c.vertical->setVisible(enabled);
  c.horizontal->setVisible(enabled && state_->mode == TrackMode::kDragCursor);
  Replot();
}

void Graph::SetTrackMode(TrackMode mode) {
  state_->mode = mode;
  for (const Cursor& c : state_->cursors) {
    c.horizontal->setVisible(c.enabled && mode == TrackMode::kDragCursor);
  }
  QCPAxisRect* rect = plot_->axisRect();
  QCPAxis* x = plot_->xAxis;
  QCPAxis* y = plot_->yAxis;
  plot_->setInteractions(QCP::Interactions());
  plot_->setSelectionRectMode(QCP::srmNone);
  rect->setRangeDragAxes(x, y);
  rect->setRangeZoomAxes(x, y);
  switch (mode) {
    case TrackMode::kNormal:
      // A graph window pans by a drag; a click still reports itself.
      if (state_->view_controls) {
        plot_->setInteractions(QCP::iRangeDrag);
        rect->setRangeDrag(Qt::Horizontal | Qt::Vertical);
      }
      break;
    case TrackMode::kDragCursor:
      break;
    case TrackMode::kPanXY:
    case TrackMode::kPanX:
    case TrackMode::kPanY:
      plot_->setInteractions(QCP::iRangeDrag);
      rect->setRangeDrag(mode == TrackMode::kPanXY  ? Qt::Horizontal | Qt::Vertical
                         : mode == TrackMode::kPanX ? Qt::Horizontal
                                                    : Qt::Vertical);
      rect->setRangeDragAxes(mode == TrackMode::kPanY ? nullptr : x,
                             mode == TrackMode::kPanX ? nullptr : y);
      break;
    case TrackMode::kZoomXY:
    case TrackMode::kZoomX:
    case TrackMode::kZoomY:
      plot_->setSelectionRectMode(QCP::srmZoom);
      rect->setRangeZoom(mode == TrackMode::kZoomXY  ? Qt::Horizontal | Qt::Vertical
                         : mode == TrackMode::kZoomX ? Qt::Horizontal
                                                     : Qt::Vertical);
      rect->setRangeZoomAxes(mode == TrackMode::kZoomY ? nullptr : x,
                             mode == TrackMode::kZoomX ? nullptr : y);
      break;
  }
}

TrackMode Graph::trackMode() const { return state_->mode; }

}  // namespace slm
