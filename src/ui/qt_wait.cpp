#include "ui/qt_wait.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <cmath>

namespace slm {

double QtClock::SecondsSinceMidnight() {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

DateTime PcDateTime() {
  const QDateTime now = QDateTime::currentDateTime();
  return {now.date().year(), now.date().month(),  now.date().day(),
          now.time().hour(), now.time().minute(), now.time().second()};
}

void QtEventPump::ProcessEvents(double max_seconds) {
  if (max_seconds <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
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
  loop.exec(QEventLoop::AllEvents);
  // A loop started while the program is quitting returns at once; sleep the
  // rest so that the waits still running never spin.
  const qint64 left = ms - elapsed.elapsed();
  if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
}

}  // namespace slm
