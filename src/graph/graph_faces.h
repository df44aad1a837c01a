#pragma once

// What the graph does, in five faces: its axes, its trace, the overlays of a
// long measurement's chart, its cursors and the user's ways with the view,
// and its picture. Graph (graph/graph.h) is all five; code that needs one
// part takes that face, so that a print or a plot function says what it
// touches.

#include <QColor>
#include <QString>
#include <span>
#include <string>
#include <vector>

#include "analysis/plot_axes.h"
#include "analysis/track_modes.h"

class QPainter;

namespace slm {

// How the X axis labels its ticks: "0" the value as it is, "*.1" and "*0.1"
// the value times 0.1 (the histograms' class index in tenths of a dB).
enum class LabelFormat { kPlain, kTenths };

// Captions, ranges, scales and the title line. Ranges are set exactly; the
// trace does not rescale them, except Rescale() and a strip chart's own
// scrolling.
class GraphAxes {
 public:
  virtual void SetXCaption(const QString& caption) = 0;
  virtual void SetYCaption(const QString& caption) = 0;
  virtual QString XCaption() const = 0;
  virtual QString YCaption() const = 0;
  virtual void SetXRange(double min, double max) = 0;
  virtual void SetYRange(double min, double max) = 0;
  virtual AxisRange XRange() const = 0;
  virtual AxisRange YRange() const = 0;
  virtual void SetXLabelFormat(LabelFormat format) = 0;
  // How an axis counts: any number, whole numbers (record numbers and counts:
  // no tick at 2.5) or clock times in seconds (base/calendar.h).
  virtual void SetXScale(AxisScale scale) = 0;
  virtual void SetYScale(AxisScale scale) = 0;
  // A title line above the plot, on the screen, on paper and in files; an
  // empty text removes it.
  virtual void SetTitle(const QString& title) = 0;
  virtual QString Title() const = 0;
  // Fits both axes to the data (the Y maximum is then read with YRange()).
  virtual void Rescale() = 0;
  // Fits the Y axis alone to the data (a histogram's counts from 0 up); the X
  // range stays as set.
  virtual void RescaleY() = 0;

 protected:
  ~GraphAxes() = default;
};

// The trace, a line or bars, and the texts attached to its points.
class GraphTrace {
 public:
  // Element k drawn at x = first_x + k * step_x. The values are copied once.
  virtual void Plot(std::span<const double> values, double first_x = 0, double step_x = 1) = 0;
  // The trace at sorted `x` (times in seconds, say); a `y` that is no number
  // leaves a gap in the line.
  virtual void PlotPoints(std::span<const double> x, std::span<const double> y) = 0;
  // Strip chart: appends one point after the last (x = the previous x + 1)
  // and keeps the newest `span` points in sight.
  virtual void Append(double value) = 0;
  virtual void SetStripSpan(int points) = 0;
  // Removes the trace's points, the annotations, the cursors and the overlays.
  virtual void Clear() = 0;
  virtual int PointCount() const = 0;
  // A text attached to point `index` of the trace, its caption at (x, y) in
  // axis units; it stays with the point when the view moves.
  virtual void AddAnnotation(int index, double caption_x, double caption_y,
                             const QString& text) = 0;
  virtual int AnnotationCount() const = 0;
  virtual QString AnnotationText(int i) const = 0;
  virtual void ClearAnnotations() = 0;

 protected:
  ~GraphTrace() = default;
};

// Overlays for a chart of a long measurement, drawn in axis units so they
// move with the view: a level line (a threshold; a level that is no number
// removes it), shaded stretches of X (the parts of the day, events,
// exclusions), bars from the bottom of the plot (interval levels) and the
// trace as a band between two levels. Clear() removes them too.
class GraphOverlays {
 public:
  virtual void SetLevelLine(double y, const QColor& color) = 0;
  // A stretch of X shaded from `top` to `bottom` of the plot's height (0 its
  // top, 1 its bottom), under the grid and the traces; a stretch narrower
  // than a pixel still shows as one. With a valid `edge` colour, a line of
  // it at either end, so that two stretches side by side stay two.
  struct Shade {
    double from = 0;
    double to = 0;
    QColor fill;
    double top = 0;
    double bottom = 1;
    QColor edge = {};
  };
  // Replaces the shading, in the order given (the later drawn over the
  // earlier): cheap enough for every view.
  virtual void SetShades(std::vector<Shade> shades) = 0;
  virtual int ShadeCount() const = 0;
  // Bars from the bottom of the plot up to each `y`, each from its `x` for
  // `width`, filled lightly in `color` and edged in it.
  virtual void PlotBars(std::span<const double> x, std::span<const double> y, double width,
                        const QColor& color) = 0;
  virtual int BarCount() const = 0;
  // The trace as a band filled between `low` and `high` at sorted `x`: a
  // line where they are equal, a gap where they are no number.
  virtual void PlotBand(std::span<const double> x, std::span<const double> low,
                        std::span<const double> high, const QColor& color) = 0;
  // A key in a row below the plot: a line, or a shaded patch, of each colour
  // with its caption. No entries remove it.
  struct KeyEntry {
    QString caption;
    QColor color;
    bool patch = false;
  };
  virtual void SetKey(const std::vector<KeyEntry>& entries) = 0;

 protected:
  ~GraphOverlays() = default;
};

// Cursors, numbered from 1, the track modes and the view by mouse and
// keyboard. What the user does arrives through Graph's callbacks.
class GraphCursors {
 public:
  virtual int CursorCount() const = 0;
  virtual void AddCursor(const QColor& color) = 0;
  virtual void RemoveAllCursors() = 0;
  virtual void SetCursorPosition(int number, double x, double y) = 0;
  virtual double CursorX(int number) const = 0;
  virtual double CursorY(int number) const = 0;
  // A cursor switched off is neither seen nor dragged.
  virtual void SetCursorEnabled(int number, bool enabled) = 0;
  virtual void SetTrackMode(TrackMode mode) = 0;
  virtual TrackMode trackMode() const = 0;
  // For the graph windows: the wheel zooms X about the pointer (with Ctrl,
  // Y), a drag in normal mode pans, and a double-click or Home asks for
  // on_reset. Off for the panel's charts.
  virtual void SetViewControls(bool on) = 0;

 protected:
  ~GraphCursors() = default;
};

// The graph as a picture: its background (white for printing, and back),
// drawn into `painter` over `width` x `height` pixels of the screen (on a
// printer page of another resolution that many screen pixels' worth of the
// page), or into a file by its extension: ".pdf", ".png", ".svg" (in any
// case), written whole or not at all as WriteDrawnFile does. SaveImage
// throws DataFileError naming the path when the file cannot be written or
// its extension is none of those.
class GraphPicture {
 public:
  virtual void SetPlotColor(const QColor& color) = 0;
  virtual QColor PlotColor() const = 0;
  virtual void Render(QPainter& painter, int width, int height) = 0;
  virtual void SaveImage(const std::string& path, int width, int height) = 0;

 protected:
  ~GraphPicture() = default;
};

}  // namespace slm
