#pragma once

#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "base/date_time.h"
#include "link/meter_link.h"
#include "ui/app_timers.h"
#include "ui/clickable_label.h"
#include "ui/dialogs.h"

namespace slm {

inline constexpr const char* kSetupCaption = "Setup";
inline constexpr const char* kMeterTimeCaption = "Meter Time";
inline constexpr const char* kPcTimeCaption = "PC System Time";

// The meter's clock beside the PC's, and setting the one to the other.
// Modal in the program. A click on a clock label turns its display on or off;
// the window's own timer shows what is on. While the meter's clock is shown
// the panel's timers stay stopped; closing the window starts again those that
// ran when it opened.
class SetupWindow : public QWidget {
 public:
  using ClockFn = std::function<DateTime()>;
  SetupWindow(MeterLink& link, AppTimers& timers, Dialogs& dialogs, ClockFn pc_clock,
              QWidget* parent = nullptr);

  // Timer1, every 350 ms.
  void Tick();
  void LblMeterTimeClicked();
  void LblPCTimeClicked();
  void CmdSetTimeClicked();

  bool meter_display() const { return meter_display_; }
  bool pc_display() const { return pc_display_; }

  QGroupBox* FrameTime = nullptr;
  ClickableLabel* LblMeterTime = nullptr;
  ClickableLabel* LblPCTime = nullptr;
  QPushButton* CmdSetTime = nullptr;
  QPushButton* CmdExit = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  MeterLink& link_;
  AppTimers& timers_;
  Dialogs& dialogs_;
  ClockFn pc_clock_;
  bool meter_display_ = false;
  bool pc_display_ = false;
  bool timer1_ran_;
  bool timer2_ran_;
};

// The PC's clock now.
DateTime SystemDateTime();

}  // namespace slm
