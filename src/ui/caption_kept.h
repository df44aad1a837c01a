#pragma once

#include <QString>
#include <QWidget>

namespace slm {

// Puts a window's caption back on every way out of a job that shows its
// progress there.
class CaptionKept {
 public:
  explicit CaptionKept(QWidget& window) : window_(window), caption_(window.windowTitle()) {}
  ~CaptionKept() { window_.setWindowTitle(caption_); }
  CaptionKept(const CaptionKept&) = delete;
  CaptionKept& operator=(const CaptionKept&) = delete;

 private:
  QWidget& window_;
  QString caption_;
};

}  // namespace slm
