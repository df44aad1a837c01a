#include "ui/printing.h"

#include <QPrintDialog>
#include <QPrinterInfo>

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

}  // namespace slm
