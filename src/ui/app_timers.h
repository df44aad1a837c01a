#pragma once

#include <QTimer>

namespace slm {

// The program's two timers: Timer1, the live tick every 200 ms, and Timer2,
// the one-second sampling tick. They belong to the application; every
// window that talks to the meter pauses them with a Pause.
class AppTimers {
 public:
  AppTimers();
  AppTimers(const AppTimers&) = delete;
  AppTimers& operator=(const AppTimers&) = delete;

  void StartBoth();
  void StopBoth();

  // Stops both timers for a multi-step exchange or a long job and starts
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
