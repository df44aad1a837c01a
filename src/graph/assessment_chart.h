#pragma once

#include <QRectF>
#include <cstdint>
#include <span>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/level_columns.h"
#include "graph/graph.h"

class QPainter;

// The charts of an assessment: the time history as the Assessment window
// shows it and its report draws it (one Graph for both), and the report's
// distribution of levels, as vectors onto any painter.
namespace slm {

// The time history in `graph`: the levels against the records' clock, the
// interval Leq as steps, the threshold as a line, events and excluded
// stretches shaded, the worst rolling window marked, and a key. The view
// shows the whole measurement; the levels are drawn for it in `columns`.
void ShowTimeHistory(Graph& graph, const MeasuredLevels& levels, const AssessmentSettings& settings,
                     const Assessment& a, int columns);
// The levels of the graph's X view again, as the lowest and the highest of
// each of `columns` columns: a week draws as fast as an hour.
void DrawViewedLevels(Graph& graph, const MeasuredLevels& levels, int columns);

// The time history over `rect` of a page: the same graph, drawn as vectors.
void PaintTimeHistory(QPainter& painter, const QRectF& rect, const MeasuredLevels& levels,
                      const AssessmentSettings& settings, const Assessment& a);

// The distribution of the counted levels in 1 dB classes (in % of the
// counted records) with a line at each percentile level.
void PaintLevelHistogram(QPainter& painter, const QRectF& rect, const AssessmentSettings& settings,
                         const Assessment& a);

}  // namespace slm
