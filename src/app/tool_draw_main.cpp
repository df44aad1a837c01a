// The drawing companion (lib/slmpanel/draw/slmtool): slmtool's commands that
// draw, the only part of slmtool that loads the GUI libraries. slmtool starts
// it in its own place.
#include "app/tool_assess_report.h"
#include "app/tool_draw.h"

int main(int argc, char** argv) {
  using namespace slm::tool;
  static constexpr NamedCommand kCommands[] = {
      {"plot", RunPlot},
      {"report", RunReportPdf},
      {"assess",
       [](const std::vector<std::string>& args) { return RunAssess(args, WriteAssessReport); }},
  };
  return CompanionMain(argc, argv, kCommands);
}
