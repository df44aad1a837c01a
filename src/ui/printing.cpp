#include "ui/printing.h"

#include <QPrintDialog>

namespace slm {

QPrinter* QtPrinting::Ask(QWidget* parent) {
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer_.get(), parent);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return printer_.get();
}

}  // namespace slm
