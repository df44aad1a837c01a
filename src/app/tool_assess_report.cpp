// The drawing of `slmtool assess -o OUT.pdf`: the report of an assessment
// that slmtool has computed.
#include <QApplication>
#include <cstdio>

#include "app/tool_draw_plugin.h"
#include "app/tool_qt_app.h"
#include "files/file_io.h"
#include "graph/assessment_report.h"

namespace slm::tool {

int WriteAssessReport(const AssessReportJob& job) {
  ToolApp<QApplication> app;  // the charts are widgets
  int pages = 0;
  try {
    AssessmentReportContent content{job.files, job.levels, job.settings, job.assessment,
                                    job.lists != nullptr ? *job.lists : AssessedLists{}};
    content.survey = job.survey;
    content.all_events = job.all_events;
    pages = WriteAssessmentReport(job.output, content);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return 1;
  }
  std::printf("report of %d page%s written to %s\n", pages, pages == 1 ? "" : "s",
              AbsolutePath(job.output).c_str());
  return 0;
}

}  // namespace slm::tool
