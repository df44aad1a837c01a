// `slmtool report`: a list's printed report as text on standard output, or
// painted into a PDF file by the drawing plugin (tool_report_pdf.cpp).
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/list_report.h"
#include "app/tool_draw.h"
#include "files/data_file_reader.h"

namespace slm::tool {

ReportJob ReadReportArgs(const std::vector<std::string>& args) {
  const Options options(args, {"--per", "--output"}, {});
  if (options.positional().size() != 1) throw std::runtime_error("report takes one FILE");
  ReportJob job;
  job.input = options.positional()[0];
  const std::string per_text = options.Get("--per", "1");
  const std::optional<int> per = ParseRecordsPerLine(per_text);
  if (!per) throw std::runtime_error("--per takes 1 to 5 records a line, not \"" + per_text + "\"");
  job.per = *per;
  job.output = options.Get("--output");
  if (!job.output.empty() && !EndsWithNoCase(job.output, ".pdf")) {
    throw std::runtime_error("report writes .pdf files, not \"" + job.output + "\"");
  }
  if (!job.output.empty()) RefuseWritingOverInputs(job.output, {job.input});
  return job;
}

int ReportEnd(const ListReport& report) {
  if (!report.stop) return 0;
  std::fprintf(stderr, "%s\n", ReportStopText(*report.stop).c_str());
  return 1;
}

int RunReport(const std::vector<std::string>& args) {
  const ReportJob job = ReadReportArgs(args);
  ToolDrawing* drawing = nullptr;
  if (!job.output.empty() && (drawing = LoadDrawing("report")) == nullptr) return 1;
  DataFile file;
  if (!ReadListFile("report", job.input, file)) return 1;
  const ListReport report = BuildListReport(file.list, job.per);
  if (drawing != nullptr) {
    if (const int status = drawing->ReportPdf(report, job.output); status != 0) return status;
    return ReportEnd(report);
  }
  for (const std::string& line : report.lines) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  return ReportEnd(report);
}

}  // namespace slm::tool
