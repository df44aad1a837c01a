#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;
class QTimer;

namespace slm {

// Turns the signals that ask the program to stop (SIGTERM, SIGINT and, where
// there is one, SIGHUP) into calls of `on_stop` from the event loop, on the
// thread that owns this object, where the program may close its windows as
// the user closes them. The signal handler itself only writes the signal's
// number to a pipe. One instance at a time; the handlers that were there
// before come back when it is destroyed.
class StopSignals : public QObject {
 public:
  explicit StopSignals(std::function<void(int signal)> on_stop, QObject* parent = nullptr);
  ~StopSignals() override;
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  void Deliver();

  std::function<void(int)> on_stop_;
  QSocketNotifier* notifier_ = nullptr;  // POSIX: the pipe's reading end
  QTimer* poll_ = nullptr;               // Windows: no pipe, a look every 100 ms
  int read_fd_ = -1;
  int write_fd_ = -1;
};

}  // namespace slm
