#include "ui/printing.h"

#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinterInfo>

#include "files/file_io.h"
#include "graph/file_device.h"

namespace slm {

QPrinter* QtPrinting::Ask(QWidget* parent) {
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer_.get(), parent);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return printer_.get();
}

QPrinter* QtPrinting::Current() {
  if (printer_) return printer_.get();
  if (QPrinterInfo::defaultPrinter().isNull()) return nullptr;
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return printer_.get();
}

std::string PrintOn(QPrinter& printer, const std::function<bool(QPagedPaintDevice&)>& paint) {
  constexpr const char* kNotStarted = "The printer could not be started.";
  const QString file = printer.outputFileName();
  if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) {
    return paint(printer) ? std::string() : kNotStarted;
  }
  // The same pages, through a PDF writer laid out as the printer was set up.
  bool reached = false;
  bool painted = false;
  try {
    WriteDrawnFile(file.toStdString(), [&](QIODevice& device) {
      reached = true;
      QPdfWriter writer(&device);
      writer.setResolution(printer.resolution());
      writer.setPageLayout(printer.pageLayout());
      writer.setTitle(printer.docName());
      writer.setCreator(printer.creator());
      painted = paint(writer);
      return painted;
    });
  } catch (const DataFileError& e) {
    return reached && !painted ? kNotStarted : e.what();
  }
  return {};
}

}  // namespace slm
