#include "windows/graph_print.h"

#include <QLayout>
#include <QPainter>
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

bool PrintGraphImage(QWidget& window, Graph& graph, QWidget& controls, QPagedPaintDevice& printer,
                     const PaperLayout& paper, int copies) {
  const QString y_caption = graph.YCaption();
  const QColor colour = graph.PlotColor();
  const QSize screen_size = window.size();
  QLayout* layout = window.layout();
  const QMargins screen_margins = layout->contentsMargins();
  const QString background = window.styleSheet();
  const bool controls_shown = !controls.isHidden();
  controls.hide();
  graph.SetPlotColor(Qt::white);
  if (paper.empty_y_caption) graph.SetYCaption("");
  if (paper.width > 0) {
    window.resize(paper.width, paper.height > 0 ? paper.height : window.height());
    layout->setContentsMargins(paper.margin, paper.margin, 0, 0);
  }
  window.setStyleSheet("background: white;");
  layout->activate();

  QPainter painter;
  const bool started = painter.begin(&printer);
  if (started) {
    const QRect page = painter.viewport();
    const double scale = std::min(static_cast<double>(page.width()) / window.width(),
                                  static_cast<double>(page.height()) / window.height());
    for (int copy = 0; copy < copies; ++copy) {
      if (copy > 0) printer.newPage();
      painter.save();
      painter.scale(scale, scale);
      window.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
      painter.restore();
    }
    painter.end();
  }

  // Back as the window was.
  graph.SetYCaption(y_caption);
  window.setStyleSheet(background);
  layout->setContentsMargins(screen_margins);
  if (paper.screen_width > 0) {
    window.resize(paper.screen_width, paper.screen_height);
  } else {
    window.resize(screen_size);
  }
  controls.setVisible(controls_shown);
  graph.SetPlotColor(colour);
  return started;
}

void PrintGraphWindow(QWidget& window, Graph& graph, QWidget& controls, const PaperLayout& paper,
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
  const std::string failure = PrintOn(*printer, [&](QPagedPaintDevice& device) {
    return PrintGraphImage(window, graph, controls, device, paper, copies);
  });
  if (!failure.empty()) dialogs.Message(failure, MessageIcon::kCritical);
}

}  // namespace slm
