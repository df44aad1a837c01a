// The drawing of `slmtool plot`: a list's levels as the Plot window shows
// them, into a PDF, PNG or SVG file.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/tool_draw_plugin.h"
#include "app/tool_qt_app.h"
#include "files/data_file_reader.h"
#include "graph/graph.h"
#include "graph/level_plot.h"

namespace slm::tool {

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 600;

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int DrawPlot(const PlotJob& job, const DataFile& file) {
  const std::string& input = job.input;
  const std::string& output = job.output;
  ToolApp<QApplication> app;
  const LevelColumnPlot plot = PlotLevelColumn(file.list);
  Graph graph;
  graph.resize(kWidth, kHeight);
  const bool clock_axis = job.clock_axis;
  ClockPlot clock;
  if (clock_axis) {
    clock = PlotAgainstClock(plot);
    if (clock.empty()) {
      std::fprintf(stderr, "slmtool plot: %s has no record with a readable Date Time\n",
                   input.c_str());
      return 1;
    }
    ShowClockPlot(graph, plot, clock);
  } else {
    ShowLevelColumn(graph, plot);
  }
  graph.SetTitle(QString::fromLatin1(PlotTitleLine(BaseName(input), file.list)));
  try {
    graph.SaveImage(output, kWidth, kHeight);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool plot: %s\n", e.what());
    return 1;
  }
  std::printf("%zu records and %zu marks drawn into %s\n", plot.rows() - clock.unplaced,
              plot.marks.size(), output.c_str());
  if (clock.unplaced > 0) {
    // Drawn, but not whole: said, and the exit status says it too.
    std::fprintf(stderr,
                 "slmtool plot: %zu records of %s have no readable Date Time and are left out\n",
                 clock.unplaced, input.c_str());
    return 1;
  }
  return 0;
}

}  // namespace slm::tool
