#pragma once

#include <QPointF>
#include <QWidget>
#include <functional>
#include <memory>

#include "graph/graph_faces.h"

class QCustomPlot;

namespace slm {

// The one graph widget of the program: a line trace, or bars for a
// histogram, with axes, annotations, overlays, cursors and the eight track
// modes (its faces: graph/graph_faces.h). Windows see only this; it is built
// on QCustomPlot, which no other file includes. Numbers are shown the same in
// every locale. Tests and benchmarks look inside through GraphProbe
// (graph/graph_probe.h).
class Graph : public QWidget,
              public GraphAxes,
              public GraphTrace,
              public GraphOverlays,
              public GraphCursors,
              public GraphPicture {
 public:
  enum class Style { kLine, kBars };
  explicit Graph(QWidget* parent = nullptr, Style style = Style::kLine);
  ~Graph() override;

  void SetXCaption(const QString& caption) override;
  void SetYCaption(const QString& caption) override;
  QString XCaption() const override;
  QString YCaption() const override;
  void SetXRange(double min, double max) override;
  void SetYRange(double min, double max) override;
  AxisRange XRange() const override;
  AxisRange YRange() const override;
  void SetXLabelFormat(LabelFormat format) override;
  void SetXScale(AxisScale scale) override;
  void SetYScale(AxisScale scale) override;
  void SetTitle(const QString& title) override;
  QString Title() const override;
  void Rescale() override;
  void RescaleY() override;

  void Plot(std::span<const double> values, double first_x = 0, double step_x = 1) override;
  void PlotPoints(std::span<const double> x, std::span<const double> y) override;
  void Append(double value) override;
  void SetStripSpan(int points) override;
  void Clear() override;
  int PointCount() const override;
  void AddAnnotation(int index, double caption_x, double caption_y, const QString& text) override;
  int AnnotationCount() const override;
  QString AnnotationText(int i) const override;
  void ClearAnnotations() override;

  void SetLevelLine(double y, const QColor& color) override;
  void SetShades(std::vector<Shade> shades) override;
  int ShadeCount() const override;
  void PlotBars(std::span<const double> x, std::span<const double> y, double width,
                const QColor& color) override;
  int BarCount() const override;
  void PlotBand(std::span<const double> x, std::span<const double> low,
                std::span<const double> high, const QColor& color) override;
  void SetKey(const std::vector<KeyEntry>& entries) override;

  int CursorCount() const override;
  void AddCursor(const QColor& color) override;
  void RemoveAllCursors() override;
  void SetCursorPosition(int number, double x, double y) override;
  double CursorX(int number) const override;
  double CursorY(int number) const override;
  void SetCursorEnabled(int number, bool enabled) override;
  void SetTrackMode(TrackMode mode) override;
  TrackMode trackMode() const override;
  void SetViewControls(bool on) override;

  void SetPlotColor(const QColor& color) override;
  QColor PlotColor() const override;
  void Render(QPainter& painter, int width, int height) override;
  void SaveImage(const std::string& path, int width, int height) override;

  // What the user does. Called with the cursor's number, X and Y in axis
  // units at every move the user makes in drag-cursor mode.
  std::function<void(int number, double x, double y)> on_cursor_moved;
  // Called on a click (press and release without a drag) in normal mode;
  // on_clicked_at gets its X in axis units.
  std::function<void()> on_clicked;
  std::function<void(double x)> on_clicked_at;
  // With view controls in normal mode, a drag with Shift held marks a
  // stretch of X (shaded while it is drawn) and reports it instead of panning.
  std::function<void(double x_from, double x_to)> on_stretch_dragged;
  // A double-click or Home with view controls on.
  std::function<void()> on_reset;
  // Called after every change of either axis range, whoever made it.
  std::function<void()> on_view_changed;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A short graph writes its Y caption smaller rather than cutting it.
  void FitYCaption();
  // Repaints soon, once for many changes; a hidden graph (the panel's charts
  // not chosen) waits until it is shown.
  void Replot();
  void Zoom(double steps, bool y_axis, QPointF at);
  // Lays out the X ticks and the title line for a drawing `width` pixels wide.
  void SizeFor(int width);

  friend class GraphProbe;
  struct State;
  QCustomPlot* plot_ = nullptr;
  std::unique_ptr<State> state_;
  bool stale_ = false;
};

}  // namespace slm
