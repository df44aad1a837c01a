// Graph's marks: annotations pinned to points, the cursors and the track
// modes that move the view or the first cursor.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "graph/graph.h"
#include "graph/graph_state.h"

namespace slm {

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

void Graph::AddSpan(double x_min, double x_max, const QColor& fill) {
  auto* span = new QCPItemRect(plot_);
  // X in axis units, Y over the whole height of the plot.
  span->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
  span->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
  span->topLeft->setCoords(std::min(x_min, x_max), 0);
  span->bottomRight->setCoords(std::max(x_min, x_max), 1);
  // Edged in its own colour: a stretch narrower than a pixel (a short event
  // in a week) still shows as a line.
  span->setPen(QPen(fill, 0));
  span->setBrush(fill);
  span->setSelectable(false);
  // Under the traces and the grid, over the plot's background.
  span->setLayer(QStringLiteral("background"));
  state_->spans.push_back(span);
  Replot();
}

void Graph::ClearSpans() {
  for (QCPItemRect* span : state_->spans) plot_->removeItem(span);
  state_->spans.clear();
  Replot();
}

int Graph::SpanCount() const { return static_cast<int>(state_->spans.size()); }

void Graph::PlotSteps(std::span<const double> x, std::span<const double> y, const QColor& color) {
  if (!state_->steps) {
    state_->steps = plot_->addGraph();
    state_->steps->setLineStyle(QCPGraph::lsStepLeft);
  }
  state_->steps->setPen(QPen(color, 2));
  const int n = static_cast<int>(std::min(x.size(), y.size()));
  QVector<QCPGraphData> points(n);
  for (int k = 0; k < n; ++k) points[k] = QCPGraphData(x[k], y[k]);
  state_->steps->data()->set(points, true);
  Replot();
}

int Graph::StepPointCount() const { return state_->steps ? state_->steps->data()->size() : 0; }

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
