// slmtool record when the meter's port vanishes mid-way (an adapter pulled
// out): the recording ends into its file and no sample follows the loss.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace {

QStringList Lines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.readAll())
      .split(QRegularExpression("\r\n|\n"), Qt::SkipEmptyParts);
}

TEST(RecordPortLoss, PulledPortEndsTheRecordingWithTheSamplesItHas) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcess emulator;
  emulator.start(SLMTOOL_PATH, {"emulate", "--rate", "20", "--level", "71.3"});
  ASSERT_TRUE(emulator.waitForReadyRead(15000));
  const QString device = QString::fromLatin1(emulator.readLine()).trimmed().mid(8);
  ASSERT_FALSE(device.isEmpty());

  const QString out = dir.filePath("out.csv");
  QProcess record;
  record.setWorkingDirectory(dir.path());
  record.start(SLMTOOL_PATH,
               {"record", "--port", device, "--period", "1", "--count", "30", "-o", out});
  // Wait for two samples, then pull the port out from under it.
  QStringList samples;
  while (samples.size() < 2 && record.waitForReadyRead(10000)) {
    while (record.canReadLine()) {
      const QString line = QString::fromLatin1(record.readLine()).trimmed();
      if (line.contains("71.3")) samples << line;
    }
  }
  ASSERT_EQ(samples.size(), 2) << "no samples before the port was pulled";
  emulator.kill();
  emulator.waitForFinished(5000);

  ASSERT_TRUE(record.waitForFinished(20000)) << "the recording did not end";
  EXPECT_EQ(record.exitCode(), 1);
  const QString rest = QString::fromLatin1(record.readAllStandardOutput());
  const QString errors = QString::fromLatin1(record.readAllStandardError());
  EXPECT_FALSE(rest.contains("done")) << rest.toStdString();
  EXPECT_TRUE(errors.contains("stopped answering")) << errors.toStdString();

  // The file holds exactly the samples that were printed, with its header:
  // nothing made up after the loss.
  const QStringList lines = Lines(out);
  ASSERT_GE(lines.size(), 10);
  EXPECT_EQ(lines[0], "Real Time");
  const int written = static_cast<int>(lines.size()) - 10;
  EXPECT_GE(written, 2);
  EXPECT_LE(written, 3);  // a sample may land between the read and the kill
  EXPECT_TRUE(errors.contains(QString("%1 of 30 samples").arg(written))) << errors.toStdString();
  for (int i = 10; i < lines.size(); ++i) EXPECT_TRUE(lines[i].endsWith(",71.3")) << i;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
