// The real file dialogs, offscreen: they start in the folder the user last
// picked a file in. Runs in window_tests, with settings of its own.
#include "ui/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "support/temp_dir.h"
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

}  // namespace
}  // namespace slm
