// The panel's File > Open Recent and View menus, with the recent files in the
// test's own settings (window_test_main.cpp).
#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ui/user_settings.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

class PanelMenus : public test::RunningPanelTest {
 protected:
  // A copy of a sample file, under `name` in a folder of the test's own.
  std::string Copy(const char* sample, const std::string& name) {
    const std::string path = files_.File(name);
    std::filesystem::copy_file(std::string(SLM_TEST_DATA_DIR "/") + sample, path);
    return path;
  }
  void OpenWithTheToolbar(const std::string& path) {
    dialogs_.files.push_back({path, 1});
    panel_->ToolbarClicked("Open");
  }
  QMenu* Recent(Panel& panel) { return Find<QMenu>(panel, "MenuRecent"); }
  // What Open Recent lists: each item's text and tooltip.
  Items RecentItems(Panel& panel) {
    Items items;
    for (QAction* action : Recent(panel)->actions()) {
      if (action->isSeparator() || !action->isVisible() || action->objectName() == "ClearRecent") {
        continue;
      }
      EXPECT_EQ(action->statusTip(), action->toolTip());
      items.emplace_back(action->text().toStdString(), action->toolTip().toStdString());
    }
    return items;
  }
  void ChooseRecent(int position) {
    Action(*panel_, ("RecentFile" + std::to_string(position)).c_str())->trigger();
  }
  bool RecentEnabled(Panel& panel) { return Recent(panel)->menuAction()->isEnabled(); }

  test::TempDir files_;
};

TEST_F(PanelMenus, EverySuccessfulOpenPutsTheFileFirstOnOpenRecent) {
  EXPECT_FALSE(RecentEnabled(*panel_));
  EXPECT_TRUE(RecentItems(*panel_).empty());
  const std::string plain = Copy("plain_list.dlgr", "plain & simple.dlgr");
  const std::string logger = Copy("data_logger_2.dlgr", "logger.dlgr");
  const std::string empty = files_.File("empty.dlgr");
  test::WriteBytes(empty, "");

  OpenWithTheToolbar(plain);
  // A file dropped on the panel, or named on the command line.
  panel_->OpenPath(logger);
  EXPECT_TRUE(RecentEnabled(*panel_));
  EXPECT_EQ(RecentItems(*panel_),
            (Items{{"&1 logger.dlgr", logger}, {"&2 plain && simple.dlgr", plain}}));

  // A file that cannot be read is not added.
  panel_->OpenPath(empty);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(RecentItems(*panel_).size(), 2u);
}

// A recent file opens as "Open" does, without asking for it; one that is
// gone is named and taken off the menu.
TEST_F(PanelMenus, ARecentFileOpensAsOpenDoesAndOneThatIsGoneIsTakenOff) {
  const std::string plain = Copy("plain_list.dlgr", "plain.dlgr");
  const std::string gone = Copy("data_logger_2.dlgr", "gone.dlgr");
  panel_->OpenPath(plain);
  panel_->OpenPath(gone);
  panel_->windows().file_list_real()->close();
  panel_->windows().file_list()->close();

  ChooseRecent(2);
  EXPECT_TRUE(dialogs_.filters.empty());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(panel_->windows().file_list_real()->isVisible());
  EXPECT_EQ(panel_->windows().file_list_real()->windowTitle(), "plain.dlgr");
  EXPECT_EQ(panel_->windows().file_list_real()->GridModel->rowCount(), 3);
  EXPECT_EQ(RecentItems(*panel_), (Items{{"&1 plain.dlgr", plain}, {"&2 gone.dlgr", gone}}));

  std::filesystem::remove(gone);
  ChooseRecent(2);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(gone + " no longer exists"), std::string::npos)
      << dialogs_.messages[0].text;
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kCritical);
  EXPECT_FALSE(panel_->windows().file_list()->isVisible());
  EXPECT_EQ(RecentItems(*panel_), (Items{{"&1 plain.dlgr", plain}}));
  EXPECT_EQ(RememberedRecentFiles(), std::vector<std::string>{plain});

  std::filesystem::remove(plain);
  ChooseRecent(1);
  EXPECT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_FALSE(RecentEnabled(*panel_));
}

TEST_F(PanelMenus, TheListOutlivesThePanelUntilCleared) {
  panel_->OpenPath(Copy("plain_list.dlgr", "one.dlgr"));
  panel_->OpenPath(Copy("data_logger_2.dlgr", "two.dlgr"));
  const Items before = RecentItems(*panel_);
  ASSERT_EQ(before.size(), 2u);
  panel_.reset();
  auto next = MakePanel({0, true});
  ASSERT_TRUE(next->Start());
  EXPECT_EQ(RecentItems(*next), before);
  EXPECT_TRUE(RecentEnabled(*next));
  // Until the user clears it.
  Action(*next, "ClearRecent")->trigger();
  EXPECT_FALSE(RecentEnabled(*next));
  EXPECT_TRUE(RecentItems(*next).empty());
  EXPECT_TRUE(RememberedRecentFiles().empty());
}

TEST_F(PanelMenus, OnlyTheRecentFilesAreKeptNotWhatIsTypedForSampling) {
  dialogs_.answers = {"00:07:13"};
  Find<QPushButton>(*panel_, "CmdL")->click();
  ASSERT_EQ(dialogs_.prompts.size(), 1u);
  const std::string plain = Copy("plain_list.dlgr", "plain.dlgr");
  panel_->OpenPath(plain);

  const QSettings settings(kSettingsOrganisation, kSettingsApplication);
  EXPECT_EQ(settings.allKeys().size(), 1) << settings.allKeys().join(' ').toStdString();
  QFile file(settings.fileName());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray kept = file.readAll();
  EXPECT_TRUE(kept.contains(QByteArray::fromStdString(plain)));
  EXPECT_FALSE(kept.contains("07:13")) << kept.toStdString();
}

TEST_F(PanelMenus, TheViewMenuAndTheChartOptionsFollowEachOther) {
  const char* const items[] = {"ViewSPL", "ViewLeq", "ViewSEL"};
  Graph* const graphs[] = {panel_->side->charts->CWG, panel_->side->charts->CWLeq,
                           panel_->side->charts->CWSEL};
  auto expect_shown = [&](int index, const char* how) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Action(*panel_, items[i])->isChecked(), i == index) << how << " " << items[i];
      EXPECT_EQ(panel_->side->charts->SSOpt[static_cast<size_t>(i)]->isChecked(), i == index)
          << how;
      EXPECT_EQ(graphs[i]->isHidden(), i != index) << how << " " << items[i];
    }
  };
  expect_shown(0, "at the start");
  panel_->side->charts->SSOpt[1]->click();
  expect_shown(1, "SSOpt(1) clicked");
  Action(*panel_, "ViewSEL")->trigger();
  expect_shown(2, "View > SEL");
  Action(*panel_, "ViewSEL")->trigger();
  expect_shown(2, "View > SEL again");
  Action(*panel_, "ViewSPL")->trigger();
  expect_shown(0, "View > SPL");
  panel_->side->charts->Choose(1);
  expect_shown(1, "chosen by the program");
}

TEST_F(PanelMenus, FullScreenFollowsTheWindow) {
  QAction* full_screen = Action(*panel_, "FullScreen");
  panel_->show();
  full_screen->trigger();
  EXPECT_TRUE(panel_->isFullScreen());
  EXPECT_TRUE(full_screen->isChecked());
  full_screen->trigger();
  EXPECT_FALSE(panel_->isFullScreen());
  EXPECT_FALSE(full_screen->isChecked());
  // The window manager's own way there and back.
  panel_->showFullScreen();
  EXPECT_TRUE(full_screen->isChecked());
  panel_->showNormal();
  EXPECT_FALSE(full_screen->isChecked());
}

}  // namespace
}  // namespace slm
