#pragma once

// The commands that draw: plot, and the PDF reports of report and assess.
// Their drawing is a plugin of its own (slmtool-draw), the one part of
// slmtool that loads the GUI libraries; slmtool parses a command's arguments
// and reads its files, then hands the plugin what it needs to draw.
#include <string>
#include <vector>

#include "app/tool_shell.h"

namespace slm::tool {

// `slmtool plot`: its arguments.
struct PlotJob {
  std::string input;
  std::string output;  // .pdf, .png or .svg
  bool clock_axis = false;
};
PlotJob ReadPlotArgs(const std::vector<std::string>& args);

// What the drawing plugin does. Each call says on stderr what went wrong
// and returns the command's exit status.
class ToolDrawing {
 public:
  // `file` is job.input, read.
  virtual int Plot(const PlotJob& job, const DataFile& file) = 0;
  // Writes `report` into `output`, a PDF file, and says where it went.
  virtual int ReportPdf(const ListReport& report, const std::string& output) = 0;
  virtual int AssessReport(const AssessReportJob& job) = 0;

 protected:
  ~ToolDrawing() = default;
};

// The drawing plugin, loaded on the first call. When it cannot be found or
// loaded, says on stderr as "slmtool COMMAND: ..." which file it looked for
// and where, and returns nullptr.
ToolDrawing* LoadDrawing(const std::string& command);

int RunPlot(const std::vector<std::string>& args);

}  // namespace slm::tool
