// slmtool record when the meter is lost mid-way: a silent meter is a gap in
// the recording, a port that stays away ends it after its give-up time; no
// sample is ever made up.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

namespace {

QStringList Lines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.readAll())
      .split(QRegularExpression("\r\n|\n"), Qt::SkipEmptyParts);
}

// The emulator and a recording from it; `record_args` follow the port.
struct Recording {
  explicit Recording(const QStringList& record_args) {
    emulator.start(SLMTOOL_PATH, {"emulate", "--rate", "20", "--level", "71.3"});
    if (!emulator.waitForReadyRead(15000)) return;
    device = QString::fromLatin1(emulator.readLine()).trimmed().mid(8);
    out = dir.filePath("out.csv");
    record.setWorkingDirectory(dir.path());
    record.start(SLMTOOL_PATH,
                 QStringList{"record", "--port", device, "--period", "1", "-o", out} + record_args);
  }
  // Waits for the recording to print `n` samples.
  int Samples(int n) {
    for (;;) {
      while (record.canReadLine()) {
        if (QString::fromLatin1(record.readLine()).contains("71.3")) ++printed;
      }
      if (printed >= n || !record.waitForReadyRead(10000)) return printed;
    }
  }
  QTemporaryDir dir;
  QProcess emulator;
  QProcess record;
  QString device;
  QString out;
  int printed = 0;
};

// A recording waits for a lost meter as long as --give-up says, then ends
// into its file with exactly the samples it has.
TEST(RecordPortLoss, PulledPortEndsTheRecordingAfterItsGiveUpTime) {
  Recording r({"--count", "30", "--give-up", "2"});
  ASSERT_EQ(r.Samples(2), 2) << "no samples before the port was pulled";
  r.emulator.kill();
  r.emulator.waitForFinished(5000);

  ASSERT_TRUE(r.record.waitForFinished(20000)) << "the recording did not end";
  EXPECT_EQ(r.record.exitCode(), 1);
  const int printed = r.Samples(1000);  // and those printed while the port went
  const QString errors = QString::fromLatin1(r.record.readAllStandardError());
  EXPECT_TRUE(errors.contains("The meter was lost at")) << errors.toStdString();
  EXPECT_TRUE(errors.contains("lost for too long")) << errors.toStdString();

  // The file holds exactly the samples that were printed, with its header:
  // nothing made up after the loss.
  const QStringList lines = Lines(r.out);
  ASSERT_GE(lines.size(), 10);
  EXPECT_EQ(lines[0], "Real Time");
  const int written = static_cast<int>(lines.size()) - 10;
  EXPECT_EQ(written, printed);
  EXPECT_TRUE(errors.contains(QString("%1 of 30 samples").arg(written))) << errors.toStdString();
  for (int i = 10; i < lines.size(); ++i) EXPECT_TRUE(lines[i].endsWith(",71.3")) << i;
}

// A meter that falls silent for a while and comes back: the recording goes
// on, and the seconds it was away are missing, none repeated or made up.
TEST(RecordPortLoss, ASilentMeterIsAGapInARecordingThatGoesOn) {
  Recording r({"--count", "6"});
  ASSERT_EQ(r.Samples(2), 2);
  ::kill(static_cast<pid_t>(r.emulator.processId()), SIGSTOP);
  QThread::sleep(3);
  ::kill(static_cast<pid_t>(r.emulator.processId()), SIGCONT);
  ASSERT_TRUE(r.record.waitForFinished(30000)) << "the recording did not go on";
  EXPECT_EQ(r.record.exitCode(), 0);
  const QString errors = QString::fromLatin1(r.record.readAllStandardError());
  EXPECT_TRUE(errors.contains("goes on, with no samples from")) << errors.toStdString();
  r.emulator.kill();
  r.emulator.waitForFinished(5000);

  const QStringList lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 16);
  int gaps = 0;
  for (int i = 11; i < lines.size(); ++i) {
    const QDateTime before =
        QDateTime::fromString(lines[i - 1].section(',', 1, 1), "yyyy/MM/dd hh:mm:ss");
    const QDateTime after =
        QDateTime::fromString(lines[i].section(',', 1, 1), "yyyy/MM/dd hh:mm:ss");
    const qint64 step = before.secsTo(after);
    EXPECT_GE(step, 1) << lines[i].toStdString();
    if (step > 1) ++gaps;
  }
  EXPECT_EQ(gaps, 1);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
