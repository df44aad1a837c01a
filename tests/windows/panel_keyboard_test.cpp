// The panel from the keyboard: Tab order, shortcuts, the menu bar and files
// dropped on it; the list and graph windows' own shortcuts, and Tab leaving
// the record table. The File > Open Recent and View menus, with the recent
// files in the test's own settings (window_test_main.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "link/meter.h"
#include "sim/meter_model.h"
#include "ui/user_settings.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

class PanelKeyboard : public PanelTest {
 protected:
  void SetUp() override {
    panel_ = OnlinePanel();
    meter_.model().SetLevel(66.6);
    // A few seconds of samples, so that the panel's table has rows.
    Seconds(*panel_, 4);
    ASSERT_TRUE(ShowActive(*panel_));
  }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(panel_.get(), static_cast<Qt::Key>(key), modifiers);
  }
  // Waits up to a second for the meter's last write to be `bytes`.
  bool WaitForKeyWrite(const Bytes& bytes) {
    for (int i = 0; i < 50; ++i) {
      if (!meter_.writes().empty() && meter_.writes().back() == bytes) return true;
      QTest::qWait(20);
    }
    return false;
  }
  std::unique_ptr<Panel> panel_;
};

TEST_F(PanelKeyboard, TabVisitsEveryPartOfThePanelAndComesBack) {
  ASSERT_GT(panel_->side->GridModel->rowCount(), 0);
  QWidget* first = panel_->face->keys[0];
  first->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), first);
  std::vector<QWidget*> visited;
  bool came_back = false;
  for (int i = 0; i < 80 && !came_back; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    ASSERT_NE(now, nullptr);
    // Tab always moves on: no control keeps it, the table least of all.
    ASSERT_TRUE(visited.empty() ? now != first : now != visited.back())
        << now->objectName().toStdString();
    visited.push_back(now);
    came_back = now == first;
  }
  EXPECT_TRUE(came_back);
  const std::set<QWidget*> seen(visited.begin(), visited.end());
  // The keys take focus from a click too, and show their shortcuts.
  for (QPushButton* key : panel_->face->keys) {
    EXPECT_TRUE(seen.count(key)) << key->objectName().toStdString();
    EXPECT_EQ(key->focusPolicy(), Qt::StrongFocus) << key->objectName().toStdString();
  }
  EXPECT_TRUE(Find<QPushButton>(*panel_, "BtnCA")->toolTip().contains("Alt+1"));
  EXPECT_TRUE(Find<QPushButton>(*panel_, "BtnDown")->toolTip().contains("Alt+0"));
  for (const char* key : {"Save", "Open", "Refresh"}) {
    EXPECT_TRUE(seen.count(panel_->Toolbar1->widgetForAction(Action(*panel_, key)))) << key;
  }
  EXPECT_TRUE(seen.count(panel_->side->GridN));
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [this](QWidget* w) {
    return qobject_cast<QRadioButton*>(w) && panel_->side->charts->isAncestorOf(w);
  }));
}

// A shortcut does what its menu item or button does (the menus test reads
// every menu item's shortcut), and Esc closes the box that is open.
TEST_F(PanelKeyboard, ShortcutsRunTheirCommands) {
  const struct {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::function<bool()> done;
  } cases[] = {
      // A meter key's shortcut presses the button as a click does, a moment later.
      {"Alt+9", Qt::Key_9, Qt::AltModifier,
       [this] {
         return WaitForKeyWrite(MakeBytes({0x4B, 0x00, 0x00, 0x09}));
       }},
      {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, [this] { return Shown(*panel_, "PicSave"); }},
      {"Esc", Qt::Key_Escape, Qt::NoModifier, [this] { return !Shown(*panel_, "PicSave"); }},
      {"Erase, Esc", Qt::Key_Escape, Qt::NoModifier,
       [this] { return !Shown(*panel_, "PicErase"); }},
      // Ctrl+Q ends the program as closing does, asking nothing without a recording.
      {"Ctrl+Q", Qt::Key_Q, Qt::ControlModifier,
       [this] {
         return exit_codes_ == std::vector<int>{0} && !panel_->isVisible() &&
                dialogs_.questions.empty();
       }},
  };
  for (const auto& c : cases) {
    if (std::string(c.name) == "Erase, Esc") {
      panel_->ToolbarClicked("Erase");
      ASSERT_TRUE(Shown(*panel_, "PicErase"));
    }
    Press(c.key, c.modifiers);
    EXPECT_TRUE(c.done()) << c.name;
  }
}

TEST_F(PanelKeyboard, MenusMirrorTheToolbarAndRunItsCommands) {
  auto entries = [this](const char* menu_name) {
    QStringList entries;
    for (const QAction* item : Find<QMenu>(*panel_, menu_name)->actions()) {
      entries << (item->isSeparator() ? "-" : item->text() + " " + item->shortcut().toString());
    }
    return entries.join("|").toStdString();
  };
  EXPECT_EQ(entries("MenuFile"),
            "Open... Ctrl+O|Save... Ctrl+S|Open Recent |Assess Files... |-|Quit Ctrl+Q");
  EXPECT_EQ(entries("MenuMeter"),
            "AC |FSI |Up |Down |Sampling... |RTC... |Memory |Erase... |Refresh F5");
  EXPECT_EQ(entries("MenuView"), "SPL |Leq |SEL |-|Full Screen F11");
  EXPECT_EQ(entries("MenuHelp"), "Manual F1|About ");
  // The toolbar keeps the short captions.
  EXPECT_EQ(Find<QAction>(*panel_, "Open")->iconText(), "Open");
  QStringList bar;
  for (QAction* menu : panel_->menu->bar()->actions()) bar << menu->text();
  EXPECT_EQ(bar, (QStringList{"&File", "&Meter", "&View", "&Help"}));

  // Every entry runs its own command, Quit last.
  panel_->menu->AddRecentFile(SLM_TEST_DATA_DIR "/plain_list.dlgr");
  LiveCharts& charts = *panel_->side->charts;
  auto wrote = [this](const char* letter) { return meter_.writes().back() == letter; };
  const std::pair<const char*, std::function<bool()>> commands[] = {
      {"Open", [this] { return dialogs_.filters.size() == 1; }},
      {"Save", [this] { return Shown(*panel_, "PicSave"); }},
      {"RecentFile1",
       [this] { return panel_->windows().file_list_real()->windowTitle() == "plain_list.dlgr"; }},
      {"ClearRecent", [] { return RememberedRecentFiles().empty(); }},
      {"AssessFiles", [this] { return dialogs_.filters.size() == 2; }},
      {"AC", [&] { return wrote("G"); }},
      {"FSI", [&] { return wrote("D"); }},
      {"Down", [&] { return wrote("F"); }},  // from the top of the range, where Up is off
      {"Up", [&] { return wrote("E"); }},
      {"Sampling", [this] { return panel_->logger().sampling_choice()->isVisible(); }},
      {"RTC", [this] { return panel_->logger().setup_window()->isVisible(); }},
      // The meter is measuring: Memory says to stop it first.
      {"Memory",
       [this] { return Text(*panel_, "LblLastMessage").startsWith("The meter is measuring"); }},
      {"Erase", [this] { return Shown(*panel_, "PicErase"); }},
      {"Refresh", [this] { return panel_->side->GridModel->rowCount() == 0; }},
      {"ViewLeq", [&] { return !charts.CWLeq->isHidden() && charts.CWG->isHidden(); }},
      {"ViewSEL", [&] { return !charts.CWSEL->isHidden() && charts.CWLeq->isHidden(); }},
      {"ViewSPL", [&] { return !charts.CWG->isHidden() && charts.CWSEL->isHidden(); }},
      {"FullScreen", [this] { return panel_->isFullScreen(); }},
      {"Manual", [this] { return panel_->windows().manual()->isVisible(); }},
      {"About",
       [this] {
         return dialogs_.messages.back().text.find("slmpanel 0.1.0") != std::string::npos;
       }},
      {"Quit", [this] { return exit_codes_ == std::vector<int>{0}; }},
  };
  std::set<std::string> covered;
  for (const auto& [name, done] : commands) {
    // The Sampling and RTC windows are modal.
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    Seconds(*panel_, 1);  // the range keys follow the meter's range
    Action(*panel_, name)->trigger();
    EXPECT_TRUE(done()) << name;
    covered.insert(name);
  }
  for (const QMenu* menu : panel_->menu->bar()->findChildren<QMenu*>()) {
    for (const QAction* item : menu->actions()) {
      if (item->isSeparator() || item->menu() != nullptr || !item->isVisible()) continue;
      EXPECT_TRUE(covered.count(item->objectName().toStdString()))
          << item->objectName().toStdString() << " of " << menu->objectName().toStdString();
    }
  }
}

// F1 opens the manual from every window the program opens, modal ones
// included, at a size that reads well on the screen.
TEST_F(PanelKeyboard, F1OpensTheManualFromEveryWindowAtAReadableSize) {
  meter_.model().SetSets(
      sim::MeterModel::ParseSets("7;2024/05/01 10:00:00;1;C;SLOW;40-100;61.0\n"));
  PanelWindows& w = panel_->windows();
  panel_->OpenPath(SLM_TEST_DATA_DIR "/plain_list.dlgr");
  FileListReal* list = w.file_list_real();
  list->findChild<QAction*>("Plot")->trigger();
  list->Cmd01dB->click();
  list->findChild<QAction*>("Assess")->trigger();
  w.OpenLiveTimePlot(LiveSeries::kLevel);
  w.OpenLiveHistogram(StatResolution::kTenth);
  meter_.model().SetRun(false);
  Seconds(*panel_, 1);
  panel_->ToolbarClicked("Memory");
  std::vector<QWidget*> windows = {panel_.get(),       list,
                                   w.plot(),           w.histogram(),
                                   w.assessment(),     w.real_time_graph(),
                                   w.real_histogram(), panel_->logger().memory_window()};
  for (const char* modal : {"Sampling", "RTC", ""}) {
    for (QWidget* window : windows) {
      ASSERT_NE(window, nullptr);
      const std::string name = window->objectName().toStdString();
      if (!window->isModal()) {
        ASSERT_TRUE(ShowActive(*window));
      }
      QTest::keyClick(window, Qt::Key_F1);
      ManualWindow* manual = w.manual();
      ASSERT_NE(manual, nullptr) << name;
      EXPECT_TRUE(manual->isVisible()) << name;
      // Over a modal window, modal too, or it could not be scrolled.
      EXPECT_EQ(manual->isModal(), window->isModal()) << name;
      // Some 60 characters a line at least, and wholly on the screen.
      EXPECT_GE(manual->width(), manual->fontMetrics().averageCharWidth() * 60) << name;
      EXPECT_TRUE(manual->screen()->availableGeometry().contains(manual->frameGeometry())) << name;
      manual->close();
      if (window->isModal()) window->close();
    }
    // Then each modal window on its own, opened while the manual is open from
    // the panel: F1 turns it modal.
    if (*modal == '\0') break;
    QTest::keyClick(panel_.get(), Qt::Key_F1);
    panel_->ToolbarClicked(modal);
    windows = {QApplication::activeModalWidget()};
  }
  // Written for the person who measures: the windows, not the build.
  const QString text = w.manual()->toPlainText();
  EXPECT_TRUE(text.contains("Stop the recording and save it?"));
  EXPECT_FALSE(text.contains("cmake", Qt::CaseInsensitive));
}

void Drop(QWidget& target, const QString& path) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  const QPointF at(target.width() / 2.0, target.height() / 2.0);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &drop);
  QCoreApplication::processEvents();
}

TEST_F(PanelKeyboard, ADroppedFileOpensInItsListWindow) {
  Drop(*panel_, SLM_TEST_DATA_DIR "/plain_list.dlgr");
  FileListReal* list = panel_->windows().file_list_real();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->windowTitle(), "plain_list.dlgr");
  EXPECT_EQ(list->GridModel->rowCount(), 3);
  // No file was asked for.
  EXPECT_TRUE(dialogs_.filters.empty());

  Drop(*panel_, SLM_TEST_DATA_DIR "/data_logger_2.dlgr");
  ASSERT_NE(panel_->windows().file_list(), nullptr);
  EXPECT_TRUE(panel_->windows().file_list()->isVisible());

  // Anything else is refused.
  QMimeData text;
  text.setText("65.3");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(panel_.get(), &enter);
  EXPECT_FALSE(enter.isAccepted());
}

// In a list Ctrl+P prints, Ctrl+G plots and Ctrl+H asks for the histogram's
// resolution, whose buttons Tab reaches; the plot and the histogram name the
// list's file and close with Ctrl+W or Esc, as the list does.
TEST_F(PanelKeyboard, ListKeysOpenThePlotAndHistogramThatCloseWithCtrlWOrEsc) {
  Drop(*panel_, SLM_TEST_DATA_DIR "/plain_list.dlgr");
  FileListReal* list = panel_->windows().file_list_real();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(ShowActive(*list));
  QTest::keyClick(list, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(dialogs_.prompts.size(), 1u);  // the report's records a line; cancelled
  QTest::keyClick(list, Qt::Key_G, Qt::ControlModifier);
  QTest::keyClick(list, Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(list->Cmd01dB->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  QTest::keyClick(list->focusWidget(), Qt::Key_Return);  // on "0.1 dB"
  Plot* plot = panel_->windows().plot();
  Histogram* histogram = panel_->windows().histogram();
  ASSERT_TRUE(plot != nullptr && histogram != nullptr);
  EXPECT_EQ(plot->windowTitle(), "Plot - plain_list.dlgr");
  EXPECT_EQ(plot->CWGraph1->PointCount(), 3);  // the list's own records
  EXPECT_EQ(histogram->windowTitle(), "Histogram - plain_list.dlgr");
  const std::pair<QWidget*, Qt::Key> closings[] = {
      {plot, Qt::Key_W}, {histogram, Qt::Key_Escape}, {list, Qt::Key_W}};
  for (auto [window, key] : closings) {
    ASSERT_TRUE(ShowActive(*window));
    QTest::keyClick(window, key, key == Qt::Key_W ? Qt::ControlModifier : Qt::NoModifier);
    EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString();
  }
}

// A recording and its end with keys only: the file dialog is Qt's own and
// works from the keyboard, so it is scripted here.
TEST_F(PanelKeyboard, RecordAndStopWithKeysAlone) {
  // Ctrl+S shows the save box with the focus on its first choice; the arrows
  // move between the two choices and Return confirms.
  Press(Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(Shown(*panel_, "PicSave"));
  auto* by_rate = Find<QRadioButton>(*panel_, "OptSampling");
  auto* list_data = Find<QRadioButton>(*panel_, "OptSaveList");
  EXPECT_EQ(QApplication::focusWidget(), by_rate);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_TRUE(list_data->isChecked());
  EXPECT_EQ(panel_->strip->save_mode(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_TRUE(by_rate->isChecked());
  EXPECT_EQ(panel_->strip->save_mode(), 1);
  dialogs_.files.push_back({dir_.File("by-keys.dlgr"), 1});
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(Shown(*panel_, "PicSave"));
  ASSERT_TRUE(recorder_.recording());

  // Ctrl+S again ends the recording into the chosen file, once confirmed.
  Seconds(*panel_, 5);
  dialogs_.yes_no = {true};
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_FALSE(recorder_.recording());
  EXPECT_EQ(dialogs_.notices.size(), 1u);
}

// Ctrl+P in the live graphs presses their "Print" as a click does, the
// time plot's a moment later.
TEST_F(PanelKeyboard, CtrlPPrintsTheLiveGraphs) {
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLeq);
  panel_->side->charts->CWDec->on_clicked();
  EXPECT_EQ(panel_->windows().real_time_graph()->CmdPrint->text(), "Print Graph");
  for (QWidget* window : std::initializer_list<QWidget*>{panel_->windows().real_time_graph(),
                                                         panel_->windows().real_histogram()}) {
    const int asked = printing_.asked;
    ASSERT_TRUE(ShowActive(*window));
    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
    for (int i = 0; i < 50 && printing_.asked == asked; ++i) QTest::qWait(20);
    EXPECT_EQ(printing_.asked, asked + 1) << window->objectName().toStdString();
  }
}

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

// The list outlives the panel until the user clears it (the menus test).
TEST_F(PanelMenus, OnlyTheRecentFilesAreKeptNotWhatIsTypedForSampling) {
  dialogs_.answers = {"00:07:13"};
  Find<QPushButton>(*panel_, "CmdL")->click();
  ASSERT_EQ(dialogs_.prompts.size(), 1u);
  const std::string plain = Copy("plain_list.dlgr", "plain.dlgr");
  panel_->OpenPath(plain);
  const Items before = RecentItems(*panel_);
  panel_.reset();
  auto next = MakePanel({0, true});
  ASSERT_TRUE(next->Start());
  EXPECT_EQ(RecentItems(*next), before);

  const QSettings settings(kSettingsOrganisation, kSettingsApplication);
  EXPECT_EQ(settings.allKeys().size(), 1) << settings.allKeys().join(' ').toStdString();
  QFile file(settings.fileName());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray kept = file.readAll();
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
}

TEST_F(PanelMenus, FullScreenFollowsTheWindow) {
  // The menu item's way there is the menus test's; the window manager's here.
  QAction* full_screen = Action(*panel_, "FullScreen");
  panel_->show();
  panel_->showFullScreen();
  EXPECT_TRUE(full_screen->isChecked());
  panel_->showNormal();
  EXPECT_FALSE(full_screen->isChecked());
}

}  // namespace
}  // namespace slm
