#pragma once

#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <functional>

#include "live/panel_display.h"
#include "ui/clickable_label.h"

namespace slm {

// The keyboard shortcut of the meter key `code` (1..10): Alt+1 to Alt+9, and
// Alt+0 for key 10.
QKeySequence KeyShortcut(int code);
// `tip` followed by the key's shortcut in brackets.
QString WithShortcut(const QString& tip, int code);

// The meter's face on the panel: its display (level, bar, indicators, the
// printed display parts) and its ten keys.
class MeterFace : public QFrame {
 public:
  explicit MeterFace(QWidget* parent = nullptr);

  // Copies one live tick's display values onto the controls.
  void Show(const PanelDisplay& display);
  // The meter is lost: no level is shown.
  void ClearLevel();
  // Offline: the keys say why they send nothing.
  void ShowOffline();
  // The keys work only while the meter answers; otherwise they say why not.
  void SetKeysReachable(bool reachable, const QString& reason);
  // Room below the keys for the recording strip.
  QVBoxLayout* lower() const { return lower_; }

  std::function<void(int code)> on_key;
  std::function<void()> on_port_label;

  ClickableLabel* LblCOM = nullptr;
  QLabel* OfflineSSPL = nullptr;
  QLabel* LblValue = nullptr;
  QLabel* ShownLCD = nullptr;
  QLabel* LbldB = nullptr;
  QProgressBar* SoundBar = nullptr;
  QLabel* LblBarMax = nullptr;
  QLabel* LblBarMin = nullptr;
  QLabel* LblFast = nullptr;
  QLabel* LblSlow = nullptr;
  QLabel* LblIMP = nullptr;
  QLabel* LblOver = nullptr;
  QLabel* LblUnder = nullptr;
  QLabel* LblCA = nullptr;
  QLabel* LblRun = nullptr;
  QLabel* LblPause = nullptr;
  QLabel* LblStop = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* LeqLabel = nullptr;
  QLabel* SELLabel = nullptr;
  QFrame* Shape1 = nullptr;
  QFrame* ShBtn = nullptr;
  // BtnCA, BtnFastSlow, BtnLeq, BtnMax, BtnPlayPause, BtnRecord, BtnDate,
  // BtnInteg, BtnUp, BtnDown: key codes 1 to 10.
  std::array<QPushButton*, 10> keys{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The level digits as large as their room allows, and "dB" beside them.
  void FitLevelDigits();
  QWidget* BuildLcd();
  void BuildDisplayParts(QWidget* lcd, QHBoxLayout* row);
  QVBoxLayout* lower_ = nullptr;
};

}  // namespace slm
