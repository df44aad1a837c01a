#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "support/test_settings.h"
#include "ui/user_settings.h"

namespace {

QString settings_folder;
QString user_config_folder;

// Whatever one test remembered, the next starts without it.
class FreshSettings : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    QSettings(slm::kSettingsOrganisation, slm::kSettingsApplication).clear();
  }
};

}  // namespace

namespace slm::test {
QString TestSettingsFolder() { return settings_folder; }
QString UserConfigFolder() { return user_config_folder; }
}  // namespace slm::test

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The settings (the program's, and the file dialog's own) go to a folder of
  // this run: Qt looks under XDG_CONFIG_HOME, and setPath settles it for
  // every format before the first QSettings is made.
  const QByteArray user_xdg = qgetenv("XDG_CONFIG_HOME");
  user_config_folder =
      user_xdg.isEmpty() ? QDir::homePath() + "/.config" : QString::fromLocal8Bit(user_xdg);
  QTemporaryDir settings;
  if (!settings.isValid()) return 2;
  settings_folder = settings.path();
  qputenv("XDG_CONFIG_HOME", settings_folder.toLocal8Bit());
  for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
    QSettings::setPath(format, QSettings::UserScope, settings_folder);
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
  return RUN_ALL_TESTS();
}
