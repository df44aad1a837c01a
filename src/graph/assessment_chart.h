#pragma once

#include <QRectF>
#include <cstdint>
#include <vector>

#include "analysis/assessment.h"

class QPainter;

// The charts of an assessment as its report draws them, as vectors, onto
// any painter (a PDF page, a printer, a widget).
namespace slm {

// A level trace cut down to what a drawing of `columns` columns can show:
// the lowest and the highest level of each column at its middle (in that
// order), and a NaN level after a column where the next is empty, so that a
// gap in the measurement stays a gap. Paused records are no levels.
struct ColumnTrace {
  std::vector<double> times;
  std::vector<double> levels;
};
ColumnTrace MinMaxColumns(const std::vector<LevelSample>& samples, double from, double to,
                          int columns);

// The time history over `rect`: the levels against the records' clock, the
// interval Leq as steps, the threshold as a line, events shaded and excluded
// stretches hatched.
void PaintTimeHistory(QPainter& painter, const QRectF& rect, const MeasuredLevels& levels,
                      const AssessmentSettings& settings, const Assessment& a);

// The distribution of the counted levels in 1 dB classes (in % of the
// counted records) with a line at each percentile level.
void PaintLevelHistogram(QPainter& painter, const QRectF& rect, const AssessmentSettings& settings,
                         const Assessment& a);

}  // namespace slm
