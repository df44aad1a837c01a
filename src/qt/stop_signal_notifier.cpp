#include "qt/stop_signal_notifier.h"

#include <QSocketNotifier>
#include <QTimer>

namespace slm {

StopSignalNotifier::StopSignalNotifier(std::function<void(int signal)> on_stop, QObject* parent)
    : QObject(parent), on_stop_(std::move(on_stop)) {
  if (const int fd = signals_.wake_descriptor(); fd >= 0) {
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Deliver(); });
  } else {
    poll_ = new QTimer(this);
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, [this] { Deliver(); });
    poll_->start();
  }
}

// The notifier goes before the descriptor it watches.
StopSignalNotifier::~StopSignalNotifier() {
  delete notifier_;
  delete poll_;
}

void StopSignalNotifier::Deliver() {
  for (const int signal : signals_.TakeArrived()) on_stop_(signal);
}

}  // namespace slm
