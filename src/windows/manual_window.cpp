#include "windows/manual_window.h"

#include <QFile>

#include "ui/keyboard.h"

namespace slm {

ManualWindow::ManualWindow(QWidget* parent) : QTextBrowser(parent) {
  setObjectName("Manual");
  setWindowTitle("slmpanel Manual");
  setOpenExternalLinks(true);
  QFile readme(":/manual/README.md");
  if (readme.open(QIODevice::ReadOnly)) {
    setMarkdown(QString::fromUtf8(readme.readAll()));
  } else {
    setPlainText("The manual is missing from this build: see README.md and `man slmtool`.");
  }
  resize(760, 640);
  AddCloseKeys(*this);
}

}  // namespace slm
