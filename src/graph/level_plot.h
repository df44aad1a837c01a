#pragma once

#include "analysis/time_plot.h"
#include "graph/graph.h"

namespace slm {

// Draws a record list's levels as the "Plot" window and `slmtool plot` show
// them: row i at x = i, X from 1 to the last row in whole numbers, Y from 25
// to 145 dB, and the "Pause" and "Start" marks; what the graph showed before
// is replaced.
void ShowLevelColumn(Graph& graph, const LevelColumnPlot& plot);

// The same levels against their Date Time column: clock ticks, a gap where
// the list pauses or time jumps, X from the first time to the last.
void ShowClockPlot(Graph& graph, const LevelColumnPlot& plot, const ClockPlot& clock);

}  // namespace slm
