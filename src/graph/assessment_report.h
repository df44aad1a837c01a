#pragma once

#include <QPagedPaintDevice>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/assessment_tables.h"
#include "files/survey_file.h"

// The one-document report of an assessment, as "Report..." and `slmtool
// assess -o report.pdf` write it: a first page with the measured period, the
// report's date and the program's version, the survey's description, the
// calibration check and notes when there are any, the files (by name) with
// their meter settings and the settings; then the totals and the days, the
// time history, the intervals, the events (counted by day and by hour of the
// day, the loudest in full, all of them when asked), the distribution of
// levels with its percentiles and the stretches left out.
// Long tables go on over pages with their header again; every page says
// "Page N of M".
namespace slm {

struct AssessmentReportContent {
  std::vector<AssessedFile> files;
  const MeasuredLevels* levels = nullptr;
  const AssessmentSettings* settings = nullptr;
  const Assessment* assessment = nullptr;
  AssessedLists lists = {};       // the figures' names and what the files tell beside them
  SurveyDescription survey = {};  // the fields given are on the first page
  // Lines said on the first page under "Notes" before the tables' own notes.
  std::vector<std::string> remarks = {};
  // Every event in a table, not only the counts and the loudest.
  bool all_events = false;
};

// Paints the report on `device` (A4 is what it is laid out for); returns the
// pages painted, 0 when painting could not start.
int PaintAssessmentReport(QPagedPaintDevice& device, const AssessmentReportContent& content);

// Writes the report as a PDF file (A4, vector, its fonts embedded) whole or
// not at all, as WriteDrawnFile does; returns its pages. Throws DataFileError
// naming the path when it cannot be written; a file that was at `path` then
// stays as it was. Needs a QApplication (the charts are widgets).
int WriteAssessmentReport(const std::string& path, const AssessmentReportContent& content);

}  // namespace slm
