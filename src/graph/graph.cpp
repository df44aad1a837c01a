#include "graph/graph.h"

#include <qcustomplot.h>

#include <QBuffer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPicture>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "files/file_io.h"
#include "graph/file_device.h"
#include "graph/graph_state.h"

namespace slm {

using graph_detail::AxisTicker;
using graph_detail::kClickSlack;
using graph_detail::SetAxisRange;

Graph::Graph(QWidget* parent, Style style)
    : QWidget(parent), plot_(new QCustomPlot(this)), state_(std::make_unique<State>()) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(plot_);
  plot_->setLocale(QLocale::c());
  // Straight lines and bars need no smoothing, and drawing without it is
  // several times cheaper for the panel's charts, which redraw every second.
  plot_->setNotAntialiasedElements(QCP::aePlottables | QCP::aeGrid | QCP::aeSubGrid | QCP::aeFills |
                                   QCP::aeZeroLine | QCP::aeScatters);
  plot_->setPlottingHint(QCP::phFastPolylines, true);
  state_->style = style;
  if (style == Style::kBars) {
    state_->bars = new QCPBars(plot_->xAxis, plot_->yAxis);
    state_->bars->setWidth(1);
    state_->bars->setWidthType(QCPBars::wtPlotCoords);
  } else {
    state_->line = plot_->addGraph();
  }
  state_->ticker = QSharedPointer<AxisTicker>::create();
  plot_->xAxis->setTicker(state_->ticker);
  state_->y_ticker = QSharedPointer<AxisTicker>::create();
  plot_->yAxis->setTicker(state_->y_ticker);
  for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
    QObject::connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), plot_, [this] {
      if (on_view_changed) on_view_changed();
    });
  }
  QObject::connect(plot_, &QCustomPlot::mouseWheel, plot_, [this](QWheelEvent* event) {
    if (!state_->view_controls) return;
    Zoom(event->angleDelta().y() / 120.0, event->modifiers() & Qt::ControlModifier,
         event->position());
  });
  QObject::connect(plot_, &QCustomPlot::mouseDoubleClick, plot_, [this](QMouseEvent* event) {
    if (state_->view_controls && event->button() == Qt::LeftButton && on_reset) on_reset();
  });
  SetPlotColor(Qt::white);

  QObject::connect(plot_, &QCustomPlot::mousePress, plot_, [this](QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    state_->pressed = true;
    state_->press_pos = event->pos();
    state_->dragging_cursor = false;
    if (state_->mode == TrackMode::kNormal && state_->view_controls && on_stretch_dragged &&
        (event->modifiers() & Qt::ShiftModifier) &&
        plot_->axisRect()->rect().contains(event->pos())) {
      // The view stays while the stretch is drawn.
      plot_->setInteraction(QCP::iRangeDrag, false);
      state_->stretch_from = plot_->xAxis->pixelToCoord(event->pos().x());
      state_->stretch = new QCPItemRect(plot_);
      state_->stretch->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
      state_->stretch->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
      state_->stretch->topLeft->setCoords(state_->stretch_from, 0);
      state_->stretch->bottomRight->setCoords(state_->stretch_from, 1);
      state_->stretch->setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
      state_->stretch->setBrush(QColor(60, 60, 60, 50));
      state_->stretch->setSelectable(false);
      return;
    }
    if (state_->mode == TrackMode::kDragCursor && !state_->cursors.empty() &&
        state_->cursors[0].enabled && plot_->axisRect()->rect().contains(event->pos())) {
      state_->dragging_cursor = true;
      const double x = plot_->xAxis->pixelToCoord(event->pos().x());
      const double y = plot_->yAxis->pixelToCoord(event->pos().y());
      SetCursorPosition(1, x, y);
      if (on_cursor_moved) on_cursor_moved(1, x, y);
    }
  });
  QObject::connect(plot_, &QCustomPlot::mouseMove, plot_, [this](QMouseEvent* event) {
    if (state_->stretch) {
      state_->stretch->bottomRight->setCoords(plot_->xAxis->pixelToCoord(event->pos().x()), 1);
      plot_->replot(QCustomPlot::rpQueuedReplot);
      return;
    }
    if (!state_->dragging_cursor || state_->mode != TrackMode::kDragCursor) return;
    if (state_->cursors.empty() || !state_->cursors[0].enabled) return;
    const double x = plot_->xAxis->pixelToCoord(event->pos().x());
    const double y = plot_->yAxis->pixelToCoord(event->pos().y());
    SetCursorPosition(1, x, y);
    if (on_cursor_moved) on_cursor_moved(1, x, y);
  });
  QObject::connect(plot_, &QCustomPlot::mouseRelease, plot_, [this](QMouseEvent* event) {
    const bool was_pressed = state_->pressed;
    state_->pressed = false;
    state_->dragging_cursor = false;
    if (!was_pressed || state_->mode != TrackMode::kNormal) return;
    const bool click = (event->pos() - state_->press_pos).manhattanLength() <= kClickSlack;
    if (state_->stretch) {
      plot_->removeItem(state_->stretch);
      state_->stretch = nullptr;
      SetTrackMode(state_->mode);
      Replot();
      if (!click) {
        on_stretch_dragged(state_->stretch_from, plot_->xAxis->pixelToCoord(event->pos().x()));
        return;
      }
    }
    if (!click) return;
    if (on_clicked) on_clicked();
    if (on_clicked_at) on_clicked_at(plot_->xAxis->pixelToCoord(event->pos().x()));
  });
  SetTrackMode(TrackMode::kNormal);
}

Graph::~Graph() = default;

void Graph::Rescale() {
  plot_->rescaleAxes();
  Replot();
}

void Graph::RescaleY() {
  plot_->yAxis->rescale();
  const QCPRange range = plot_->yAxis->range();
  // Counts start from 0, and an axis shows at least one unit.
  SetAxisRange(*plot_->yAxis, std::min(0.0, range.lower), range.upper);
  Replot();
}

void Graph::Plot(std::span<const double> values, double first_x, double step_x) {
  const int n = static_cast<int>(values.size());
  if (state_->line) {
    QVector<QCPGraphData> points(n);
    for (int k = 0; k < n; ++k) points[k] = QCPGraphData(first_x + k * step_x, values[k]);
    state_->line->data()->set(points, step_x >= 0);
  } else {
    QVector<QCPBarsData> points(n);
    for (int k = 0; k < n; ++k) points[k] = QCPBarsData(first_x + k * step_x, values[k]);
    state_->bars->data()->set(points, step_x >= 0);
  }
  Replot();
}

namespace {
constexpr int kStripViewsKept = 4;
}  // namespace

void Graph::PlotPoints(std::span<const double> x, std::span<const double> y) {
  const int n = static_cast<int>(std::min(x.size(), y.size()));
  if (state_->line) {
    QVector<QCPGraphData> points(n);
    for (int k = 0; k < n; ++k) points[k] = QCPGraphData(x[k], y[k]);
    state_->line->data()->set(points, true);
  } else {
    QVector<QCPBarsData> points(n);
    for (int k = 0; k < n; ++k) points[k] = QCPBarsData(x[k], y[k]);
    state_->bars->data()->set(points, true);
  }
  Replot();
}

void Graph::Append(double value) {
  double x = 0;
  double first = 0;
  const int count = state_->Count();
  if (count > 0) {
    double ignored = 0;
    state_->Point(count - 1, &x, &ignored);
    state_->Point(0, &first, &ignored);
    x += 1;
  }
  if (state_->line) {
    state_->line->addData(x, value);
  } else {
    state_->bars->addData(x, value);
  }
  if (count == 0) first = x;
  // The newest `span` points fill the view; until there are that many, the
  // trace grows from the left edge.
  const double span = std::max(1, state_->strip_span - 1);
  const double max = std::max(x, first + span);
  plot_->xAxis->setRange(max - span, max);
  // A strip chart runs for days: it keeps a few views' worth of points, so
  // that its memory stays flat (the whole history is the sampler's).
  if (count > kStripViewsKept * state_->strip_span) {
    const double oldest = x - kStripViewsKept * span;
    if (state_->line) {
      state_->line->data()->removeBefore(oldest);
    } else {
      state_->bars->data()->removeBefore(oldest);
    }
  }
  Replot();
}

void Graph::SetStripSpan(int points) { state_->strip_span = std::max(2, points); }

void Graph::Clear() {
  if (state_->line) {
    state_->line->data()->clear();
  } else {
    state_->bars->data()->clear();
  }
  ClearAnnotations();
  RemoveAllCursors();
  if (state_->shades) SetShades({});
  SetLevelLine(std::numeric_limits<double>::quiet_NaN(), {});
  if (state_->bars_overlay) state_->bars_overlay->data()->clear();
  if (state_->band_low) state_->band_low->data()->clear();
}

int Graph::PointCount() const { return state_->Count(); }

void Graph::SetPlotColor(const QColor& color) {
  state_->plot_color = color;
  plot_->setBackground(QBrush(color));
  plot_->axisRect()->setBackground(QBrush(color));
  Replot();
}

QColor Graph::PlotColor() const { return state_->plot_color; }

void Graph::Render(QPainter& painter, int width, int height) {
  // Drawn as vectors into a picture, then onto the caller's device.
  QPicture picture;
  QCPPainter picture_painter;
  if (!picture_painter.begin(&picture)) return;
  SizeFor(width);
  plot_->toPainter(&picture_painter, width, height);
  SizeFor(this->width());
  picture_painter.end();
  painter.drawPicture(0, 0, picture);
}

void Graph::SaveImage(const std::string& path, int width, int height) {
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  if (suffix != QLatin1String("pdf") && suffix != QLatin1String("png") &&
      suffix != QLatin1String("svg")) {
    throw DataFileError(path, AbsolutePath(path) +
                                  " could not be written: a graph is saved as .pdf, .png or .svg.");
  }
  // Ticks and title laid out for the file's width, then for the screen again.
  SizeFor(width);
  struct ScreenAgain {
    Graph* graph;
    ~ScreenAgain() { graph->SizeFor(graph->width()); }
  } screen_again{this};
  WriteDrawnFile(path, [&](QIODevice& device) {
    if (suffix == QLatin1String("png")) {
      // Encoded in memory first: the PNG library prints its own complaint when
      // a write fails, and the failure is said once, in words.
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      if (!plot_->toPixmap(width, height).save(&buffer, "PNG")) return false;
      return device.write(png) == png.size();
    }
    QCPPainter painter;
    if (suffix == QLatin1String("svg")) {
      QSvgGenerator generator;
      generator.setOutputDevice(&device);
      generator.setSize(QSize(width, height));
      generator.setViewBox(QRect(0, 0, width, height));
      if (!painter.begin(&generator)) return false;
      plot_->toPainter(&painter, width, height);
      return painter.end();
    }
    // A page of one point to a pixel, drawn as vectors; the screen's resolution
    // gives the texts the size they have on the screen and in a PNG.
    QPdfWriter writer(&device);
    writer.setResolution(logicalDpiX());
    writer.setPageLayout(QPageLayout(
        QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF()));
    if (!painter.begin(&writer)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setWindow(0, 0, width, height);
    plot_->toPainter(&painter, width, height);
    return painter.end();
  });
}

void Graph::Replot() {
  if (!isVisible()) {
    stale_ = true;
    return;
  }
  plot_->replot(QCustomPlot::rpQueuedReplot);
}

void Graph::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SizeFor(width());
  plot_->yAxis->ticker()->setTickCount(std::clamp(height() / 40, 2, 6));
  FitYCaption();
}

void Graph::SetViewControls(bool on) {
  state_->view_controls = on;
  setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
  SetTrackMode(state_->mode);
}

void Graph::Zoom(double steps, bool y_axis, QPointF at) {
  if (steps == 0) return;
  // The factor QCustomPlot's own wheel zoom takes per notch.
  constexpr double kFactorPerStep = 0.85;
  QCPAxis* axis = y_axis ? plot_->yAxis : plot_->xAxis;
  axis->scaleRange(std::pow(kFactorPerStep, steps), axis->pixelToCoord(y_axis ? at.y() : at.x()));
  Replot();
}

void Graph::keyPressEvent(QKeyEvent* event) {
  if (state_->view_controls && event->key() == Qt::Key_Home && on_reset) {
    on_reset();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Graph::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) {
    stale_ = false;
    plot_->replot(QCustomPlot::rpQueuedReplot);
  }
}

}  // namespace slm
