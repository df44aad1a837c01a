#pragma once

#include <QByteArray>
#include <QFile>
#include <string>

namespace slm::test {

// The pages of the PDF file at `path` (the page objects Qt writes); -1 when
// it cannot be read.
inline int PdfPages(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray pdf = file.readAll();
  int pages = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0;
       at = pdf.indexOf("/Type /Page", at + 1)) {
    if (pdf.mid(at + 11, 1) != "s") ++pages;
  }
  return pages;
}

}  // namespace slm::test
