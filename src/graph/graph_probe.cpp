#include "graph/graph_probe.h"

#include "graph/graph_state.h"

namespace slm {

double GraphProbe::XToPixel(double x) const { return graph_.plot_->xAxis->coordToPixel(x); }
double GraphProbe::YToPixel(double y) const { return graph_.plot_->yAxis->coordToPixel(y); }

void GraphProbe::ReplotNow() {
  graph_.stale_ = false;
  graph_.plot_->replot(QCustomPlot::rpImmediateRefresh);
}

QPointF GraphProbe::AnnotationPixel(int i) const {
  if (i < 0 || i >= graph_.AnnotationCount()) return {};
  return graph_.state_->annotations[i].tracer->position->pixelPosition();
}

QString GraphProbe::XTickLabel(double value) const {
  const QCPAxis& axis = *graph_.plot_->xAxis;
  const QString format = axis.numberFormat();
  return graph_.state_->ticker->Label(value, graph_.plot_->locale(),
                                      format.isEmpty() ? QChar('g') : format[0],
                                      axis.numberPrecision());
}

std::vector<double> GraphProbe::XTicks() const {
  const QVector<double> ticks = graph_.plot_->xAxis->tickVector();
  return std::vector<double>(ticks.begin(), ticks.end());
}

QStringList GraphProbe::XTickLabels() const {
  const QVector<QString> labels = graph_.plot_->xAxis->tickVectorLabels();
  return QStringList(labels.begin(), labels.end());
}

std::vector<double> GraphProbe::YTicks() const {
  const QVector<double> ticks = graph_.plot_->yAxis->tickVector();
  return std::vector<double>(ticks.begin(), ticks.end());
}

QFont GraphProbe::YCaptionFont() const { return graph_.plot_->yAxis->labelFont(); }

}  // namespace slm
