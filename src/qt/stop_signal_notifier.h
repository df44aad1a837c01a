#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/stop_signals.h"

class QSocketNotifier;
class QTimer;

namespace slm {

// Turns the signals that ask the program to stop (see platform::StopSignals:
// SIGTERM, SIGINT, SIGHUP; the console's events on Windows) into calls of
// `on_stop` from the event loop, on the thread that owns this object, where
// the program may close its windows as the user closes them. One instance at
// a time; the handlers that were there before come back when it is destroyed.
class StopSignalNotifier : public QObject {
 public:
  explicit StopSignalNotifier(std::function<void(int signal)> on_stop, QObject* parent = nullptr);
  ~StopSignalNotifier() override;
  StopSignalNotifier(const StopSignalNotifier&) = delete;
  StopSignalNotifier& operator=(const StopSignalNotifier&) = delete;

 private:
  void Deliver();

  std::function<void(int)> on_stop_;
  platform::StopSignals signals_;
  QSocketNotifier* notifier_ = nullptr;  // where the system wakes the loop
  QTimer* poll_ = nullptr;               // elsewhere, a look every 100 ms
};

}  // namespace slm
