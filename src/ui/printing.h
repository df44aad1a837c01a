#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace slm {

// The printer dialog and the printer it sets up. The Qt one shows the
// system's dialog, with "Print to File (PDF)" where there is no printer;
// tests print into a PDF file of their own.
class Printing {
 public:
  virtual ~Printing() = default;
  // Shows the dialog; nullptr when the user cancels. The printer, with the
  // copies and the orientation chosen, stays valid until the next call.
  virtual QPrinter* Ask(QWidget* parent) = 0;
  // The printer last chosen, else the system's default one, without a
  // dialog; nullptr when there is none.
  virtual QPrinter* Current() = 0;
};

class QtPrinting : public Printing {
 public:
  QPrinter* Ask(QWidget* parent) override;
  QPrinter* Current() override;

 private:
  std::unique_ptr<QPrinter> printer_;
};

// Prints with `paint` on `printer`. A printer that prints to a PDF file
// ("Print to File") writes that file as every file of the program is written,
// whole or not at all (WriteDrawnFile). Returns an empty text when printed,
// else what went wrong in words: "The printer could not be started.", or why
// the file, named by its full path, could not be written.
std::string PrintOn(QPrinter& printer, const std::function<bool(QPagedPaintDevice&)>& paint);

}  // namespace slm
