#include "graph/level_plot.h"

#include "platform/widget_text.h"

namespace slm {

void ShowLevelColumn(Graph& graph, const LevelColumnPlot& plot) {
  graph.SetXCaption("No.s");
  graph.SetYCaption("dB");
  graph.SetYRange(kPlotYLow, kPlotYHigh);
  graph.SetXRange(1, static_cast<double>(plot.rows()));
  graph.Clear();
  graph.Plot(plot.y, 1, 1);
  for (const PlotMark& mark : plot.marks) {
    graph.AddAnnotation(mark.row - 1, mark.row, mark.caption_y, Latin1(mark.text));
  }
}

}  // namespace slm
