#include "windows/graph_print.h"

#include <QPainter>
#include <QPicture>
#include <algorithm>

namespace slm {

const char* const kPrinterDriverNote =
    "Note\n"
    "The effect of the properties of the Printer settings\n"
    "depends on the driver supplied by the printer manufacturer.\n"
    "Some property settings may have no effect, or several different property settings\n"
    "may all have the same effect. Settings outside the accepted range may or may not produce "
    "an error.\n"
    "For more information, see the manufacturer's documentation for the specific driver.";

bool PrintGraphPages(GraphPicture& graph, QPagedPaintDevice& printer, int copies) {
  // The graph is laid out this many pixels wide and scaled to the page, so
  // its texts keep their size relative to it on any paper.
  constexpr int kWidth = 800;
  const QColor colour = graph.PlotColor();
  graph.SetPlotColor(Qt::white);
  QPainter painter;
  const bool started = painter.begin(&printer);
  if (started) {
    const QRect page = painter.viewport();
    // Page pixels to a pixel of the graph's layout.
    const double scale = static_cast<double>(page.width()) / kWidth;
    // A landscape page is filled; on a portrait one the graph keeps a plot's
    // proportions.
    const int height = std::min(static_cast<int>(page.height() / scale), kWidth * 3 / 4);
    // Graph::Render plays a picture drawn in screen pixels, which is scaled
    // to the printer's resolution as it plays: the painter scales by what is
    // left, or a 1200 dpi page would get the graph twelve times too large.
    const double played = static_cast<double>(printer.logicalDpiX()) / QPicture().logicalDpiX();
    for (int copy = 0; copy < copies; ++copy) {
      if (copy > 0) printer.newPage();
      painter.save();
      painter.scale(scale / played, scale / played);
      graph.Render(painter, kWidth, height);
      painter.restore();
    }
    painter.end();
  }
  graph.SetPlotColor(colour);
  return started;
}

void PrintGraphWindow(QWidget& window, GraphPicture& graph, const PaperLayout& paper,
                      Dialogs& dialogs, Printing& printing) {
  QPrinter* printer = printing.Ask(&window);
  if (printer == nullptr) return;  // cancelled: nothing else changes
  int copies = 1;
  if (paper.note_and_copies) {
    dialogs.Message(kPrinterDriverNote, MessageIcon::kInformation);
    copies = std::max(1, printer->copyCount());
    // The copies are printed here, one page each.
    printer->setCopyCount(1);
  }
  const std::string failure = PrintOn(
      *printer, [&](QPagedPaintDevice& device) { return PrintGraphPages(graph, device, copies); });
  if (!failure.empty()) dialogs.Message(failure, MessageIcon::kCritical);
}

}  // namespace slm
