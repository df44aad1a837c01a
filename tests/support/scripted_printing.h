#pragma once

#include <QPrinter>
#include <functional>
#include <memory>
#include <string>

#include "ui/printing.h"

namespace slm::test {

// The printer dialog answered by the test: a PDF file of its own, with the
// copies it asks for, or a cancel when `path` is empty.
class ScriptedPrinting : public Printing {
 public:
  QPrinter* Ask(QWidget*) override {
    ++asked;
    if (while_open) while_open();
    if (path.empty()) return nullptr;
    return MakePrinter();
  }

  // The last printer, without a dialog: the same PDF file.
  QPrinter* Current() override {
    if (path.empty()) return nullptr;
    return MakePrinter();
  }

  std::string path;
  int copies = 1;
  int asked = 0;
  // The program's event loop while the printer dialog is open.
  std::function<void()> while_open;

 private:
  QPrinter* MakePrinter() {
    // High resolution, as the program's own printer dialog sets it up.
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(path));
    printer_->setCopyCount(copies);
    return printer_.get();
  }
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace slm::test
