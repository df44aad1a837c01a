#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "analysis/plot_axes.h"
#include "analysis/track_modes.h"

class QCustomPlot;
class QPainter;

namespace slm {

// How the X axis labels its ticks: "0" the value as it is, "*.1" and "*0.1"
// the value times 0.1 (the histograms' class index in tenths of a dB).
enum class LabelFormat { kPlain, kTenths };

// The one graph widget of the program: a line trace, or bars for a
// histogram, with axes, annotations, cursors and the eight track modes.
// Windows see only this; it is built on QCustomPlot, which no other file
// includes. Numbers are shown the same in every locale.
class Graph : public QWidget {
 public:
  enum class Style { kLine, kBars };
  explicit Graph(QWidget* parent = nullptr, Style style = Style::kLine);
  ~Graph() override;

  // Axes. Ranges are set exactly; the trace does not rescale them, except
  // Rescale() and a strip chart's own scrolling.
  void SetXCaption(const QString& caption);
  void SetYCaption(const QString& caption);
  QString XCaption() const;
  QString YCaption() const;
  void SetXRange(double min, double max);
  void SetYRange(double min, double max);
  AxisRange XRange() const;
  AxisRange YRange() const;
  void SetXLabelFormat(LabelFormat format);
  // How an axis counts: any number, whole numbers (record numbers and counts:
  // no tick at 2.5) or clock times in seconds (base/calendar.h).
  void SetXScale(AxisScale scale);
  void SetYScale(AxisScale scale);
  // A title line above the plot, on the screen, on paper and in files; an
  // empty text removes it.
  void SetTitle(const QString& title);
  QString Title() const;
  // Fits both axes to the data (the Y maximum is then read with YRange()).
  void Rescale();
  // Fits the Y axis alone to the data (a histogram's counts from 0 up); the X
  // range stays as set.
  void RescaleY();

  // The trace: element k drawn at x = first_x + k * step_x. The values are
  // copied once.
  void Plot(std::span<const double> values, double first_x = 0, double step_x = 1);
  // The trace at sorted `x` (times in seconds, say); a `y` that is no number
  // leaves a gap in the line.
  void PlotPoints(std::span<const double> x, std::span<const double> y);
  // Strip chart: appends one point after the last (x = the previous x + 1)
  // and keeps the newest `span` points in sight.
  void Append(double value);
  void SetStripSpan(int points);
  // Removes the trace's points, the annotations, the cursors and the overlays.
  void Clear();
  int PointCount() const;

  // A text attached to point `index` of the trace, its caption at (x, y) in
  // axis units; it stays with the point when the view moves.
  void AddAnnotation(int index, double caption_x, double caption_y, const QString& text);
  int AnnotationCount() const;
  QString AnnotationText(int i) const;
  void ClearAnnotations();

  // Overlays for a chart of a long measurement, drawn in axis units so they
  // move with the view: a level line (a threshold; a level that is no
  // number removes it), shaded stretches of X over the whole height (events,
  // exclusions), and a second trace drawn as steps (interval levels: each
  // value holds from its x to the next x; the last point closes the last
  // step). Clear() removes them too.
  void SetLevelLine(double y, const QColor& color);
  void AddSpan(double x_min, double x_max, const QColor& fill);
  void ClearSpans();
  int SpanCount() const;
  void PlotSteps(std::span<const double> x, std::span<const double> y, const QColor& color);
  int StepPointCount() const;
  // A key in a row below the plot: a line, or a shaded patch, of each
  // colour with its caption. No entries remove it.
  struct KeyEntry {
    QString caption;
    QColor color;
    bool patch = false;
  };
  void SetKey(const std::vector<KeyEntry>& entries);

  // Cursors, numbered from 1.
  int CursorCount() const;
  void AddCursor(const QColor& color);
  void RemoveAllCursors();
  void SetCursorPosition(int number, double x, double y);
  double CursorX(int number) const;
  double CursorY(int number) const;
  // A cursor switched off is neither seen nor dragged.
  void SetCursorEnabled(int number, bool enabled);
  // Called with the cursor's number, X and Y in axis units at every move
  // the user makes in drag-cursor mode.
  std::function<void(int number, double x, double y)> on_cursor_moved;
  // Called on a click (press and release without a drag) in normal mode;
  // on_clicked_at gets its X in axis units.
  std::function<void()> on_clicked;
  std::function<void(double x)> on_clicked_at;
  // With view controls in normal mode, a drag with Shift held marks a
  // stretch of X (shaded while it is drawn) and reports it instead of panning.
  std::function<void(double x_from, double x_to)> on_stretch_dragged;

  void SetTrackMode(TrackMode mode);
  TrackMode trackMode() const;

  // The view by mouse and keyboard, for the graph windows: the wheel zooms X
  // about the pointer (with Ctrl, Y), a drag in normal mode pans, and a
  // double-click or Home asks for on_reset. Off for the panel's charts.
  void SetViewControls(bool on);
  std::function<void()> on_reset;
  // Called after every change of either axis range, whoever made it.
  std::function<void()> on_view_changed;

  // The plot's background: white for printing, and back.
  void SetPlotColor(const QColor& color);
  QColor PlotColor() const;

  // Draws the graph into `painter` over `width` x `height` pixels of the
  // screen (on a printer page of another resolution that many screen pixels'
  // worth of the page), or into a file by its extension: ".pdf", ".png", ".svg"
  // (in any case), written whole or not at all as WriteDrawnFile does.
  // SaveImage throws DataFileError naming the path when the file cannot be
  // written or its extension is none of those.
  void Render(QPainter& painter, int width, int height);
  void SaveImage(const std::string& path, int width, int height);

  // For tests and benchmarks: pixel position of an X / Y axis value and
  // back, and one full repaint.
  double XToPixel(double x) const;
  double YToPixel(double y) const;
  void ReplotNow();
  // For tests: where annotation `i` marks its point, in pixels (after a
  // replot), and the X axis label of a tick at `value`.
  QPointF AnnotationPixel(int i) const;
  QString XTickLabel(double value) const;
  // For tests: the ticks and labels of the last repaint.
  std::vector<double> XTicks() const;
  QStringList XTickLabels() const;
  std::vector<double> YTicks() const;
  // For tests: the font the Y caption is written in.
  QFont YCaptionFont() const;

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

  struct State;
  QCustomPlot* plot_ = nullptr;
  std::unique_ptr<State> state_;
  bool stale_ = false;
};

}  // namespace slm
