#include "ui/app_timers.h"

namespace slm {

AppTimers::AppTimers() {
  Timer1.setObjectName("Timer1");
  Timer1.setInterval(200);
  Timer2.setObjectName("Timer2");
  // Its interval follows the sampling rhythm: it fires just after each
  // second falls due, precisely, so that no second is taken late.
  Timer2.setTimerType(Qt::PreciseTimer);
  Timer2.setInterval(200);
}

void AppTimers::StartBoth() {
  Timer1.start();
  Timer2.start();
}

void AppTimers::StopBoth() {
  Timer1.stop();
  Timer2.stop();
}

AppTimers::Pause::Pause(AppTimers& timers)
    : timers_(timers), timer1_(timers.Timer1.isActive()), timer2_(timers.Timer2.isActive()) {
  timers_.StopBoth();
}

AppTimers::Pause::~Pause() {
  if (timer1_) timers_.Timer1.start();
  if (timer2_) timers_.Timer2.start();
}

}  // namespace slm
