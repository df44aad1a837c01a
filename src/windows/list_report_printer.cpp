#include "windows/list_report_printer.h"

#include <QString>
#include <algorithm>
#include <optional>
#include <string>

#include "analysis/list_report.h"
#include "graph/text_pages.h"
#include "platform/widget_text.h"
#include "ui/printing.h"
#include "ui/qt_dialogs.h"
#include "windows/time_plot_window.h"

namespace slm {

namespace {

// Puts the window's caption back on every way out.
class CaptionKeeper {
 public:
  explicit CaptionKeeper(QWidget& window) : window_(window), caption_(window.windowTitle()) {}
  ~CaptionKeeper() { window_.setWindowTitle(caption_); }
  CaptionKeeper(const CaptionKeeper&) = delete;
  CaptionKeeper& operator=(const CaptionKeeper&) = delete;

 private:
  QWidget& window_;
  QString caption_;
};

}  // namespace

void PrintListReport(RecordListWindow& window, Dialogs& dialogs, Printing& printing,
                     const std::function<void()>& keep_alive) {
  const CaptionKeeper caption(window);
  const BusyCursor busy;
  QPrinter* printer = printing.Ask(&window);
  if (printer == nullptr) return;
  dialogs.Message(kPrinterDriverNote, MessageIcon::kInformation);
  const int copies = std::max(1, printer->copyCount());
  // The copies are made here, each one the whole report.
  printer->setCopyCount(1);

  std::optional<int> per;
  while (!per) {
    const std::string answer = dialogs.Input(kRecordsPerLinePrompt, "slmpanel", "1");
    if (answer.empty()) return;
    per = ParseRecordsPerLine(answer);
  }

  const ListReport report = BuildListReport(window.list(), *per, copies, [&](std::size_t row) {
    window.setWindowTitle(Latin1(CountCaption(row)));
    keep_alive();
  });
  const std::string failure = PrintOn(*printer, [&](QPagedPaintDevice& device) {
    return PaintTextPages(device, report.lines, ReportFont(), [&](int) { keep_alive(); }) > 0;
  });
  if (!failure.empty()) {
    dialogs.Message(failure, MessageIcon::kCritical);
    return;
  }
  if (report.stop) dialogs.Message(ReportStopText(*report.stop), MessageIcon::kExclamation);
}

}  // namespace slm
