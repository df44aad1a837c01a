#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <string>

#include "panel/pc_recorder.h"

namespace slm {

// The panel's recording strip: the launch period, the recording's mark,
// count, file and values, and the save box.
class RecordingStrip : public QWidget {
 public:
  explicit RecordingStrip(QWidget* parent = nullptr);

  // Shows the sampling period and, while recording, its count and values.
  void Show(const PcRecorder& recorder);
  void ShowFileTitle(const std::string& title);
  void ShowLaunchPeriod(const LaunchPeriod& launch);

  std::function<void()> on_launch;
  std::function<void()> on_save_ok;
  std::function<void(int mode)> on_save_mode;  // 1: by sampling, 2: the list

  QPushButton* CmdL = nullptr;
  QLabel* LblTimer = nullptr;
  QLabel* LblSecond = nullptr;
  QLabel* LblRec = nullptr;
  QLabel* LblNo = nullptr;
  QLabel* LblCount = nullptr;
  QLabel* LblFileName = nullptr;
  QLabel* LblLeq = nullptr;
  QLabel* LblSEL = nullptr;
  QGroupBox* PicSave = nullptr;
  QRadioButton* OptSampling = nullptr;
  QRadioButton* OptSaveList = nullptr;
  QPushButton* CmdSaveOK = nullptr;
};

}  // namespace slm
