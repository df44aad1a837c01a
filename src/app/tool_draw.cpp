// `slmtool plot`: its arguments are read here, the drawing is the plugin's.
#include "app/tool_draw.h"

#include <stdexcept>

namespace slm::tool {

PlotJob ReadPlotArgs(const std::vector<std::string>& args) {
  const Options options(args, {"--output"}, {"--time"});
  if (options.positional().size() != 1) throw std::runtime_error("plot takes one FILE");
  PlotJob job{options.positional()[0], options.Get("--output"), options.Has("--time")};
  if (job.output.empty()) throw std::runtime_error("plot needs -o OUT (.pdf, .png or .svg)");
  if (!EndsWithNoCase(job.output, ".pdf") && !EndsWithNoCase(job.output, ".png") &&
      !EndsWithNoCase(job.output, ".svg")) {
    throw std::runtime_error("plot writes .pdf, .png or .svg files, not \"" + job.output + "\"");
  }
  RefuseWritingOverInputs(job.output, {job.input});
  return job;
}

int RunPlot(const std::vector<std::string>& args) {
  const PlotJob job = ReadPlotArgs(args);
  ToolDrawing* drawing = LoadDrawing("plot");
  if (drawing == nullptr) return 1;
  DataFile file;
  if (!ReadListFile("plot", job.input, file)) return 1;
  return drawing->Plot(job, file);
}

}  // namespace slm::tool
