// slmtool report: a list's printed report as text on standard output, or
// painted into a PDF file as the list windows print it.
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "analysis/list_report.h"
#include "app/tool_common.h"
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

int RunReport(const std::vector<std::string>& args) {
  const Options options(args, {"--per", "--output"}, {});
  if (options.positional().size() != 1) throw std::runtime_error("report takes one FILE");
  const std::string input = options.positional()[0];
  const std::string per_text = options.Get("--per", "1");
  const std::optional<int> per = ParseRecordsPerLine(per_text);
  if (!per) throw std::runtime_error("--per takes 1 to 5 records a line, not \"" + per_text + "\"");
  const std::string output = options.Get("--output");
  if (!output.empty() && !EndsWithNoCase(output, ".pdf")) {
    throw std::runtime_error("report writes .pdf files, not \"" + output + "\"");
  }

  DataFile file;
  if (!ReadListFile("report", input, file)) return 1;
  const ListReport report = BuildListReport(file.list, *per);

  if (output.empty()) {
    for (const std::string& line : report.lines) {
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputc('\n', stdout);
    }
  } else {
    int pages = 0;
    try {
      pages = WritePdf(report, output);
    } catch (const DataFileError& e) {
      std::fprintf(stderr, "slmtool report: %s\n", e.what());
      return 1;
    }
    std::printf("%zu lines on %d page%s written to %s\n", report.lines.size(), pages,
                pages == 1 ? "" : "s", output.c_str());
  }
  if (report.stop) {
    std::fprintf(stderr, "%s\n", ReportStopText(*report.stop).c_str());
    return 1;
  }
  return 0;
}

}  // namespace slm::tool
