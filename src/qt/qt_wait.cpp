#include "qt/qt_wait.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <ctime>

namespace slm {

double QtClock::SecondsSinceMidnight() {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

namespace {

double MonotonicSeconds() {
#if defined(CLOCK_BOOTTIME)
  // Counts on while the system is suspended, so a suspend is a gap in the
  // sampling, not a stop of its clock.
  timespec ts{};
  if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0) {
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
  }
#endif
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ClockReading PcClockReading() {
  ClockReading reading;
  reading.monotonic = MonotonicSeconds();
  const QDateTime now = QDateTime::currentDateTime();
  reading.wall = {now.date().year(), now.date().month(),  now.date().day(),
                  now.time().hour(), now.time().minute(), now.time().second()};
  reading.millisecond = now.time().msec();
  return reading;
}

void QtEventPump::ProcessEvents(double max_seconds) {
  const QEventLoop::ProcessEventsFlags flags =
      held_ > 0 ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents;
  if (max_seconds <= 0) {
    QCoreApplication::processEvents(flags);
    return;
  }
  const int ms = std::max(1, static_cast<int>(std::ceil(max_seconds * 1000.0 - 1e-6)));
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  QElapsedTimer elapsed;
  elapsed.start();
  timer.start(ms);
  loop.exec(flags);
  // A loop started while the program is quitting returns at once; sleep the
  // rest so that the waits still running never spin.
  const qint64 left = ms - elapsed.elapsed();
  if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
}

}  // namespace slm
