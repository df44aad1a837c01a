#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <string>

namespace slm::test {

// How often `part` occurs in `text`.
inline int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

// The pages of the PDF file at `path` (the page objects Qt writes); -1 when
// it cannot be read.
inline int PdfPages(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const std::string pdf = file.readAll().toStdString();
  return Occurrences(pdf, "/Type /Page") - Occurrences(pdf, "/Type /Pages");
}

// What `program` prints on its standard output; empty when it is missing.
inline std::string ProgramOutput(const QString& program, const QStringList& args) {
  QProcess run;
  run.start(program, args);
  run.waitForFinished(30000);
  return run.readAllStandardOutput().toStdString();
}

// The text of the PDF at `path`, its layout kept (pdftotext).
inline std::string PdfText(const std::string& path) {
  return ProgramOutput("pdftotext", {"-layout", QString::fromStdString(path), "-"});
}

}  // namespace slm::test
