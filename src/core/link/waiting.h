#pragma once

#include "base/calendar.h"

namespace slm {

// Seconds since midnight, as the PC clock gives them; restarts at 0 at midnight.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double SecondsSinceMidnight() = 0;
};

// Lets the user interface run: processes pending events and then waits for
// more, for at most max_seconds. With 0 it processes what is pending and
// returns. It must block, not spin, while nothing happens.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessEvents(double max_seconds) = 0;
  // While held (the holds nest), waits run timers and paints but keep the
  // user's clicks and keys until the hold ends, so that a handler the user
  // starts never runs inside the wait of the live tick and holds it up.
  virtual void HoldUserInput(bool hold) { (void)hold; }
};

// The one timing primitive of every meter exchange.
class Rs232 {
 public:
  Rs232(Clock& clock, EventPump& pump) : clock_(clock), pump_(pump) {}

  // Keeps the user interface running until `seconds` have passed. Always
  // processes events at least once. A wait that would run past midnight ends
  // after its first pass, and a clock that wraps to 0 during the wait ends it
  // too, so no wait can last until the next midnight.
  void Wait(double seconds);

  double Now() { return clock_.SecondsSinceMidnight(); }

  // Holds the user's input for the guard's lifetime (EventPump::HoldUserInput).
  class UserInputHeld {
   public:
    explicit UserInputHeld(Rs232& rs232) : pump_(rs232.pump_) { pump_.HoldUserInput(true); }
    ~UserInputHeld() { pump_.HoldUserInput(false); }
    UserInputHeld(const UserInputHeld&) = delete;
    UserInputHeld& operator=(const UserInputHeld&) = delete;

   private:
    EventPump& pump_;
  };
  Clock& clock() { return clock_; }
  EventPump& pump() { return pump_; }

 private:
  Clock& clock_;
  EventPump& pump_;
};

// Measures elapsed seconds on a since-midnight clock, across midnight.
class Stopwatch {
 public:
  explicit Stopwatch(Rs232& rs232) : rs232_(rs232), last_(rs232.Now()) {}
  double Elapsed();
  // True once `limit` seconds have passed (within a microsecond, so that
  // fifteen waits of 0.2 s make three seconds).
  bool Passed(double limit) { return Elapsed() >= limit - 1e-6; }

 private:
  Rs232& rs232_;
  double last_;
  double elapsed_ = 0;
};

}  // namespace slm
