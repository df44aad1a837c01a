#pragma once

#include <QObject>
#include <QTextBrowser>
#include <functional>
#include <memory>

namespace slm {

// The user's manual, built into the program, opened with F1 from any window.
class ManualWindow : public QTextBrowser {
 public:
  explicit ManualWindow(QWidget* parent = nullptr);
};

// Shows `manual`, made on first use, in the middle of the screen `near` is
// on at a size that reads well there (as much of the screen as it needs,
// never a strip), and brings it to the front. Over a modal window the manual
// is modal too, so that it can be read and scrolled.
void ShowManual(std::unique_ptr<ManualWindow>& manual, const QWidget& near);

// F1 in any window of the program, modal ones included, calls `show` with
// the window it was pressed in, for as long as this lives.
class ManualKey : public QObject {
 public:
  explicit ManualKey(std::function<void(const QWidget& window)> show);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const QWidget& window)> show_;
};

}  // namespace slm
