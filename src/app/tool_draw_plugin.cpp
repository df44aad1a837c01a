// slmtool's drawing plugin (slmtool-draw): what slmtool hands over to be drawn,
// the one part of slmtool that loads the GUI libraries.
#include "app/tool_draw_plugin.h"

namespace slm::tool {

class DrawingPlugin : public QObject, public ToolDrawing {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID SLM_TOOL_DRAWING_IID)
  Q_INTERFACES(slm::tool::ToolDrawing)

 public:
  int Plot(const PlotJob& job, const DataFile& file) override { return DrawPlot(job, file); }
  int ReportPdf(const ListReport& report, const std::string& output) override {
    return DrawReportPdf(report, output);
  }
  int AssessReport(const AssessReportJob& job) override { return WriteAssessReport(job); }
};

}  // namespace slm::tool

#include "tool_draw_plugin.moc"
