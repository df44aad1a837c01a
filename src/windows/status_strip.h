#pragma once

#include <QLabel>
#include <QWidget>

#include "live/notices.h"

namespace slm {

// The row at the bottom of the panel: the port and link state, the recording
// state and the last message. Its parts keep their widths whatever they show,
// so that nothing in the panel moves.
class StatusStrip : public QWidget {
 public:
  explicit StatusStrip(QWidget* parent = nullptr);

  void Show(const PanelStatus& status);

  QLabel* LblPortState = nullptr;
  QLabel* LblRecordingState = nullptr;
  QLabel* LblLastMessage = nullptr;
};

}  // namespace slm
