#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <vector>

#include "graph/graph.h"

namespace slm {

// A look inside a Graph for tests and benchmarks: pixels, the ticks and
// labels of the last repaint, a repaint on demand. Windows never need it.
class GraphProbe {
 public:
  explicit GraphProbe(Graph& graph) : graph_(graph) {}
  // Pixel position of an X / Y axis value.
  double XToPixel(double x) const;
  double YToPixel(double y) const;
  // One full repaint, now.
  void ReplotNow();
  // Where annotation `i` marks its point, in pixels (after a replot).
  QPointF AnnotationPixel(int i) const;
  // The X axis label of a tick at `value`.
  QString XTickLabel(double value) const;
  std::vector<double> XTicks() const;
  QStringList XTickLabels() const;
  std::vector<double> YTicks() const;
  // The font the Y caption is written in.
  QFont YCaptionFont() const;

 private:
  Graph& graph_;
};

}  // namespace slm
