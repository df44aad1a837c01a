#include "windows/setup_window.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

#include "files/record_text.h"
#include "logger/meter_logger.h"
#include "qt/widget_text.h"

namespace slm {

DateTime SystemDateTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

namespace {

// A clock's time keeps its caption beside it, so the two rows stay told apart.
QString Captioned(const char* caption, const std::string& time) {
  return Latin1(std::string(caption) + ": " + time);
}

}  // namespace

SetupWindow::SetupWindow(MeterLink& link, AppTimers& timers, Dialogs& dialogs, ClockFn pc_clock,
                         QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      link_(link),
      timers_(timers),
      dialogs_(dialogs),
      pc_clock_(std::move(pc_clock)),
      timer1_ran_(timers.Timer1.isActive()),
      timer2_ran_(timers.Timer2.isActive()) {
  setObjectName("Setup");
  setWindowTitle(kSetupCaption);
  setWindowModality(Qt::ApplicationModal);
  auto* root = new QVBoxLayout(this);

  FrameTime = Named<QGroupBox>("FrameTime", "Time", this);
  auto* clocks = new QVBoxLayout(FrameTime);
  LblMeterTime = Named<ClickableLabel>("LblMeterTime", kMeterTimeCaption, FrameTime);
  LblPCTime = Named<ClickableLabel>("LblPCTime", kPcTimeCaption, FrameTime);
  for (ClickableLabel* label : {LblMeterTime, LblPCTime}) {
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(220);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setCursor(Qt::PointingHandCursor);
    clocks->addWidget(label);
  }
  LblMeterTime->on_click = [this] { LblMeterTimeClicked(); };
  LblPCTime->on_click = [this] { LblPCTimeClicked(); };
  root->addWidget(FrameTime);

  auto* buttons = new QHBoxLayout;
  CmdSetTime = Named<QPushButton>("CmdSetTime", "Set Meter Time To System Time", this);
  CmdExit = Named<QPushButton>("CmdExit", "Exit", this);
  buttons->addWidget(CmdSetTime);
  buttons->addWidget(CmdExit);
  root->addLayout(buttons);
  QObject::connect(CmdSetTime, &QPushButton::clicked, this, [this] { CmdSetTimeClicked(); });
  QObject::connect(CmdExit, &QPushButton::clicked, this, [this] { close(); });

  Timer1 = Named<QTimer>("Timer1", this);
  Timer1->setInterval(350);
  QObject::connect(Timer1, &QTimer::timeout, this, [this] { Tick(); });
  Timer1->start();
}

void SetupWindow::Tick() {
  // Another exchange owns the port (this tick's own, its waits running
  // timers): the clock is asked at the next tick.
  if (meter_display_ && !link_.Busy()) {
    // The meter's clock is asked for at every tick: nothing else may talk
    // to it until the window closes.
    timers_.StopBoth();
    try {
      LblMeterTime->setText(Captioned(kMeterTimeCaption, ReadMeterClock(link_)));
    } catch (const LinkError& e) {
      LblMeterTime->setText(Captioned(kMeterTimeCaption, e.what()));
    }
  }
  if (pc_display_) LblPCTime->setText(Captioned(kPcTimeCaption, PcDateTimeText(pc_clock_())));
}

void SetupWindow::LblMeterTimeClicked() {
  meter_display_ = !meter_display_;
  if (!meter_display_) LblMeterTime->setText(kMeterTimeCaption);
}

void SetupWindow::LblPCTimeClicked() {
  pc_display_ = !pc_display_;
  if (!pc_display_) LblPCTime->setText(kPcTimeCaption);
}

void SetupWindow::CmdSetTimeClicked() {
  const DateTime now = pc_clock_();
  AppTimers::Pause pause(timers_);
  try {
    SetMeterClock(link_, now);
  } catch (const LinkError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
  }
}

void SetupWindow::closeEvent(QCloseEvent* event) {
  Timer1->stop();
  meter_display_ = false;
  pc_display_ = false;
  if (timer1_ran_) timers_.Timer1.start();
  if (timer2_ran_) timers_.Timer2.start();
  event->accept();
}

}  // namespace slm
