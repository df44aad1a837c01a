// The drawing of `slmtool report -o OUT.pdf`: a list's report painted into a
// PDF file as the list windows print it.
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/list_report.h"
#include "app/tool_draw_plugin.h"
#include "app/tool_qt_app.h"
#include "files/data_file_reader.h"
#include "graph/file_device.h"
#include "graph/text_pages.h"

namespace slm::tool {

namespace {

// The pages of the report written to `path`. Throws DataFileError when the
// file could not be written whole.
int WritePdf(const ListReport& report, const std::string& path) {
  // Fonts need a Qt application.
  ToolApp<QGuiApplication> app;
  int pages = 0;
  WriteDrawnFile(path, [&](QIODevice& device) {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle("List report");
    pages = PaintTextPages(writer, report.lines, ReportFont());
    return pages > 0;
  });
  return pages;
}

}  // namespace

int DrawReportPdf(const ListReport& report, const std::string& output) {
  int pages = 0;
  try {
    pages = WritePdf(report, output);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool report: %s\n", e.what());
    return 1;
  }
  std::printf("%zu lines on %d page%s written to %s\n", report.lines.size(), pages,
              pages == 1 ? "" : "s", output.c_str());
  return 0;
}

}  // namespace slm::tool
