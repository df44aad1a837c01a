// The settings the windowed program keeps between runs. These tests run in
// window_tests, whose main gives them a folder of their own.
#include "ui/user_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <string>
#include <vector>

#include "support/test_settings.h"

namespace slm {
namespace {

TEST(UserSettings, AreKeptInTheTestRunsOwnFolderNeverTheUsers) {
  const QString location = QString::fromStdString(SettingsLocation());
  const QString folder = test::TestSettingsFolder();
  ASSERT_FALSE(folder.isEmpty());
  EXPECT_TRUE(location.startsWith(folder + "/")) << location.toStdString();
  EXPECT_FALSE(location.startsWith(test::UserConfigFolder() + "/")) << location.toStdString();

  RememberRecentFiles({"/data/proof of location.dlgr"});
  QFile file(location);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << location.toStdString();
  EXPECT_TRUE(file.readAll().contains("/data/proof of location.dlgr"));
}

TEST(UserSettings, EachTestStartsWithNoneAndGetsBackWhatItKept) {
  EXPECT_EQ(RememberedPortDevice(), "");
  EXPECT_EQ(RememberedFileFolder(), "");
  EXPECT_TRUE(RememberedRecentFiles().empty());

  // Paths are the system's bytes (UTF-8 here), not the files' code page.
  const std::string folder = "/home/j\xC3\xB6rg/Messungen & Pegel";
  const std::vector<std::string> one{folder + "/a.dlgr"};
  const std::vector<std::string> three{folder + "/c.dlgr", "/tmp/b,c.dlgr", "/tmp/a=b.dlgr"};
  RememberPortDevice("/dev/ttyUSB1");
  RememberFileFolder(folder);
  RememberRecentFiles(one);
  EXPECT_EQ(RememberedPortDevice(), "/dev/ttyUSB1");
  EXPECT_EQ(RememberedFileFolder(), folder);
  EXPECT_EQ(RememberedRecentFiles(), one);
  RememberRecentFiles(three);
  EXPECT_EQ(RememberedRecentFiles(), three);
  RememberRecentFiles({});
  EXPECT_TRUE(RememberedRecentFiles().empty());
  EXPECT_EQ(RememberedPortDevice(), "/dev/ttyUSB1");
}

}  // namespace
}  // namespace slm
