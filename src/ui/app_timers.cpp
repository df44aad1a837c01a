#include "ui/app_timers.h"

namespace slm {

AppTimers::AppTimers() {
  Timer1.setObjectName("Timer1");
  Timer1.setInterval(200);
  Timer2.setObjectName("Timer2");
  Timer2.setInterval(1000);
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
