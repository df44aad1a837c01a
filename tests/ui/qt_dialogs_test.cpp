// The real file dialogs and notices, offscreen: the file dialogs start in the
// folder the user last picked a file in. And the settings the windowed
// program keeps between runs. These run in window_tests, whose main gives
// them a folder of their own.
#include "ui/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_settings.h"
#include "ui/user_settings.h"

namespace slm {
namespace {

class FileDialogFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(first_);
    std::filesystem::create_directories(second_);
    test::WriteBytes(first_ + "/in first.dlgr", "1\t01/05/2024 10:00:00\t66.6\r\n");
  }
  // Runs `answer` on the file dialog once it is on show, and keeps the
  // folder it started in.
  void WhenShown(std::function<void(QFileDialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [this, poll, answer] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll->stop();
      poll->deleteLater();
      started_in_ = dialog->directory().absolutePath().toStdString();
      answer(*dialog);
    });
    poll->start(5);
  }
  static std::function<void(QFileDialog&)> Pick(const std::string& path) {
    return [path](QFileDialog& dialog) {
      dialog.selectFile(QString::fromStdString(path));
      // QFileDialog's own accept, as its button runs it.
      static_cast<QDialog&>(dialog).accept();
    };
  }

  test::TempDir dir_;
  const std::string first_ = dir_.File("first");
  const std::string second_ = dir_.File("second folder");
  QtDialogs dialogs_;
  std::string started_in_;
};

TEST_F(FileDialogFolders, StartInTheRememberedFolderWhileItIsThereAndRememberTheLastChosen) {
  WhenShown(Pick(first_ + "/in first.dlgr"));
  EXPECT_EQ(dialogs_.OpenFile(kOpenFilter).path, first_ + "/in first.dlgr");
  EXPECT_EQ(RememberedFileFolder(), first_);

  // Qt's dialog would go back to where it was last in this process; the
  // remembered folder (here, from a panel running beside this one) wins.
  RememberFileFolder(second_);
  WhenShown(Pick(second_ + "/saved.dlgr"));
  EXPECT_EQ(dialogs_.SaveFile(kSaveFilter).path, second_ + "/saved.dlgr");
  EXPECT_EQ(started_in_, second_);
  EXPECT_EQ(RememberedFileFolder(), second_);

  RememberFileFolder(first_);
  WhenShown([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(dialogs_.OpenFile(kOpenFilter).chosen());
  EXPECT_EQ(started_in_, first_);
  // Cancelling changes nothing.
  EXPECT_EQ(RememberedFileFolder(), first_);

  // A folder that is gone is not where they start.
  std::filesystem::remove_all(first_);
  WhenShown([](QFileDialog& dialog) { dialog.reject(); });
  dialogs_.SaveFile(kSaveFilter);
  EXPECT_NE(started_in_, first_);
  EXPECT_TRUE(QDir(QString::fromStdString(started_in_)).exists()) << started_in_;
}

// Notices come and go for as long as the program runs (a flaky meter over a
// week): one box shows the newest, titled after the window it speaks for.
TEST(Notices, OneBoxShowsTheNewest) {
  QWidget parent;
  parent.setWindowTitle("Plot - levels.dlgr");
  parent.show();
  parent.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
  QtDialogs dialogs;
  dialogs.SetParent(&parent);
  for (int i = 0; i < 5; ++i) {
    dialogs.Notice("lost " + std::to_string(i), MessageIcon::kInformation, "slmpanel");
  }
  const QList<QMessageBox*> boxes = parent.findChildren<QMessageBox*>();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0]->text(), "lost 4");
  EXPECT_TRUE(boxes[0]->isVisible());
  EXPECT_EQ(boxes[0]->windowTitle(), "Plot - levels.dlgr");
}

// Return answers a question with its safe answer, No ("Stop the recording?").
TEST(Questions, ReturnAnswersNo) {
  QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
  EXPECT_FALSE(QtDialogs().Ask("Stop the recording and save it?", "Stop Recording"));
}

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
