#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "live/pc_recorder.h"

namespace slm {

// The panel's recording strip: the launch period, the recording's mark,
// count, file and values, and the save box.
class RecordingStrip : public QWidget {
 public:
  explicit RecordingStrip(QWidget* parent = nullptr);

  // Shows the sampling period and, while recording, its count and values.
  void Show(const PcRecorder& recorder);
  void ShowFileTitle(const std::string& title);
  // What the user set with "Leq": kept and shown; its flag flips at each one.
  void SetLaunchPeriod(LaunchPeriod launch);
  const std::optional<LaunchPeriod>& launch_period() const { return launch_; }
  // "Save": the save box, "By PC Sampling Rate" chosen.
  void OpenSaveBox();
  // The choice in the save box: 1 "By PC Sampling Rate", 2 "Saving List Data".
  int save_mode() const { return OptSaveList->isChecked() ? 2 : 1; }

  std::function<void()> on_launch;
  std::function<void()> on_save_ok;

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

 private:
  std::optional<LaunchPeriod> launch_;
};

}  // namespace slm
