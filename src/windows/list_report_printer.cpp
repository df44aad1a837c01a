#include "windows/list_report_printer.h"

#include <QString>
#include <algorithm>
#include <optional>
#include <string>

#include "analysis/list_report.h"
#include "graph/text_pages.h"
#include "qt/widget_text.h"
#include "ui/caption_kept.h"
#include "ui/printing.h"
#include "ui/qt_dialogs.h"
#include "windows/time_plot_window.h"

namespace slm {

void PrintListReport(RecordListWindow& window, Dialogs& dialogs, Printing& printing,
                     const std::function<void()>& keep_alive) {
  const CaptionKept caption(window);
  // Asked before the printer dialog, so that Print there prints at once.
  std::optional<int> per;
  while (!per) {
    const std::string answer = dialogs.Input(kRecordsPerLinePrompt, "slmpanel", "1");
    if (answer.empty()) return;
    per = ParseRecordsPerLine(answer);
  }
  QPrinter* printer = printing.Ask(&window);
  if (printer == nullptr) return;
  const BusyCursor busy;
  const int copies = std::max(1, printer->copyCount());
  // The copies are made here, each one the whole report.
  printer->setCopyCount(1);

  const ListReport report = BuildListReport(window.list(), *per, copies, [&](std::size_t row) {
    window.setWindowTitle(Latin1(CountCaption(row)));
    keep_alive();
  });
  int pages = 0;
  const std::string failure = PrintOn(*printer, [&](QPagedPaintDevice& device) {
    pages = PaintTextPages(device, report.lines, ReportFont(), [&](int) { keep_alive(); });
    return pages > 0;
  });
  if (!failure.empty()) {
    dialogs.Message(failure, MessageIcon::kCritical);
    return;
  }
  if (report.stop) dialogs.Message(ReportStopText(*report.stop), MessageIcon::kExclamation);
  // Where it went, without holding the user up.
  const std::string count = std::to_string(pages) + (pages == 1 ? " page" : " pages");
  dialogs.Notice(printer->outputFileName().isEmpty()
                     ? count + " sent to " + printer->printerName().toStdString()
                     : count + " written to " + printer->outputFileName().toStdString(),
                 MessageIcon::kInformation);
}

}  // namespace slm
