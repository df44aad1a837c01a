#pragma once

#include <QTextBrowser>

namespace slm {

// The program's manual (its README, built into the program), opened with F1.
class ManualWindow : public QTextBrowser {
 public:
  explicit ManualWindow(QWidget* parent = nullptr);
};

}  // namespace slm
