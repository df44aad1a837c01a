#pragma once

#include <QRectF>
#include <cstdint>
#include <span>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/level_summaries.h"
#include "graph/graph.h"

class QPainter;

// The charts of an assessment: the time history as the Assessment window
// shows it and its report draws it (one Graph for both), and the report's
// distribution of levels, as vectors onto any painter.
namespace slm {

// The time history in `graph`: the interval Leq as bars over the parts of
// the day (three tints at the settings' hours), the levels as a band from
// the lowest to the highest of each column, the threshold as a line, events
// and excluded stretches shaded, the worst rolling window marked, and a key.
// The view shows the whole measurement, drawn for it in `columns` columns.
void ShowTimeHistory(Graph& graph, const LevelSummaries& levels, const AssessmentSettings& settings,
                     const Assessment& a, int columns);
// What depends on the graph's X view, drawn again for it in `columns`
// columns: the levels, the parts of the day and the marks. A year draws as
// fast as an hour.
void DrawViewedLevels(Graph& graph, const LevelSummaries& levels,
                      const AssessmentSettings& settings, const Assessment& a, int columns);

// The time history over `rect` of a page: the same graph, drawn as vectors.
void PaintTimeHistory(QPainter& painter, const QRectF& rect, const MeasuredLevels& levels,
                      const AssessmentSettings& settings, const Assessment& a);

// The distribution of the counted levels in 1 dB classes (in % of the
// counted records) with a line at each percentile level.
void PaintLevelHistogram(QPainter& painter, const QRectF& rect, const AssessmentSettings& settings,
                         const Assessment& a);

}  // namespace slm
