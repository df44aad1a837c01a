#include "graph/level_plot.h"

#include <algorithm>
#include <cmath>

#include "qt/widget_text.h"

namespace slm {

void ShowLevelColumn(Graph& graph, const LevelColumnPlot& plot) {
  graph.SetXCaption("No.s");
  graph.SetYCaption("dB");
  graph.SetXScale(AxisScale::kWhole);
  graph.SetYRange(kPlotYLow, kPlotYHigh);
  graph.SetXRange(1, static_cast<double>(plot.rows()));
  graph.Clear();
  graph.Plot(plot.y, 1, 1);
  for (const PlotMark& mark : plot.marks) {
    graph.AddAnnotation(mark.row - 1, mark.row, mark.caption_y, Latin1(mark.text));
  }
}

void ShowClockPlot(Graph& graph, const LevelColumnPlot& plot, const ClockPlot& clock) {
  graph.SetXCaption("Date Time");
  graph.SetYCaption("dB");
  graph.SetXScale(AxisScale::kClock);
  graph.SetYRange(kPlotYLow, kPlotYHigh);
  graph.Clear();
  graph.PlotPoints(clock.trace.x, clock.trace.y);
  if (!clock.empty()) graph.SetXRange(clock.times.front(), clock.times.back());
  const std::vector<double>& x = clock.trace.x;
  const std::vector<double>& y = clock.trace.y;
  for (std::size_t m = 0; m < plot.marks.size() && m < clock.mark_times.size(); ++m) {
    const double at = clock.mark_times[m];
    if (std::isnan(at)) continue;
    // A pause's own record is a gap in the trace: its mark goes on the last
    // level before it.
    auto k = static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), at) - x.begin());
    while (k > 0 && (k >= y.size() || std::isnan(y[k]))) --k;
    if (k >= y.size() || std::isnan(y[k])) continue;
    const PlotMark& mark = plot.marks[m];
    graph.AddAnnotation(static_cast<int>(k), x[k], mark.caption_y, Latin1(mark.text));
  }
}

}  // namespace slm
