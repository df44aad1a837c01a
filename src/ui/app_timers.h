#pragma once

#include <QTimer>

namespace slm {

// The program's two timers: Timer1, the live tick every 200 ms, and Timer2,
// the sampling tick, which fires as each second of the sampling rhythm falls
// due. They belong to the application. Only the jobs that talk to the meter
// pause them, with a Pause; dialogs, printing, saving and long jobs never do.
class AppTimers {
 public:
  AppTimers();
  AppTimers(const AppTimers&) = delete;
  AppTimers& operator=(const AppTimers&) = delete;

  void StartBoth();
  void StopBoth();

  // Stops both timers for a multi-step exchange with the meter and starts
  // again, on every way out, those that ran before: offline, or while the
  // meter is lost, a stopped timer stays stopped.
  class Pause {
   public:
    explicit Pause(AppTimers& timers);
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

   private:
    AppTimers& timers_;
    bool timer1_;
    bool timer2_;
  };

  QTimer Timer1;
  QTimer Timer2;
};

}  // namespace slm
