// The panel from the keyboard: Tab order, shortcuts, the menu bar and files
// dropped on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <set>

#include "link/meter.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

class PanelKeyboard : public PanelTest {
 protected:
  void SetUp() override {
    panel_ = OnlinePanel();
    meter_.model().SetLevel(66.6);
    // A few seconds of samples, so that the panel's table has rows.
    Seconds(*panel_, 4);
    panel_->show();
    panel_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel_.get()));
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

// Each shortcut does what its menu item or button does.
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
      {"F5", Qt::Key_F5, Qt::NoModifier,
       [this] { return panel_->side->GridModel->rowCount() == 0; }},
      {"Ctrl+O", Qt::Key_O, Qt::ControlModifier, [this] { return dialogs_.filters.size() == 1; }},
      {"F11", Qt::Key_F11, Qt::NoModifier, [this] { return panel_->isFullScreen(); }},
      {"F11 again", Qt::Key_F11, Qt::NoModifier, [this] { return !panel_->isFullScreen(); }},
      {"Erase, Esc", Qt::Key_Escape, Qt::NoModifier,
       [this] { return !Shown(*panel_, "PicErase"); }},
      // Ctrl+Q ends the program as closing does, asking nothing without a recording.
      {"Ctrl+Q", Qt::Key_Q, Qt::ControlModifier,
       [this] {
         return exit_codes_ == std::vector<int>{0} && !panel_->isVisible() &&
                dialogs_.questions.empty();
       }},
  };
  ASSERT_GT(panel_->side->GridModel->rowCount(), 0);
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
  EXPECT_EQ(entries("MenuFile"), "Open... Ctrl+O|Save... Ctrl+S|Open Recent |-|Quit Ctrl+Q");
  EXPECT_EQ(entries("MenuMeter"),
            "AC |FSI |Up |Down |Sampling... |RTC... |Memory |Erase... |Refresh F5");
  EXPECT_EQ(entries("MenuView"), "SPL |Leq |SEL |-|Full Screen F11");
  EXPECT_EQ(entries("MenuHelp"), "Manual F1|About ");
  // The toolbar keeps the short captions.
  EXPECT_EQ(Find<QAction>(*panel_, "Open")->iconText(), "Open");
  QStringList bar;
  for (QAction* menu : panel_->menu->bar()->actions()) bar << menu->text();
  EXPECT_EQ(bar, (QStringList{"&File", "&Meter", "&View", "&Help"}));

  // The items run their commands; those with a shortcut run in ShortcutsRunTheirCommands.
  Action(*panel_, "AC")->trigger();
  EXPECT_EQ(meter_.writes().back(), "G");
  Action(*panel_, "About")->trigger();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find("slmpanel 0.1.0"), std::string::npos);
  Press(Qt::Key_F1);  // the manual, the README built in
  const auto* manual = panel_->windows().manual();
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->isVisible());
  EXPECT_TRUE(manual->toPlainText().contains("slmtool"))
      << manual->toPlainText().left(200).toStdString();
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

TEST_F(PanelKeyboard, ListPlotAndHistogramNameTheirFileAndCloseWithCtrlWOrEsc) {
  Drop(*panel_, SLM_TEST_DATA_DIR "/plain_list.dlgr");
  FileListReal* list = panel_->windows().file_list_real();
  ASSERT_NE(list, nullptr);
  list->findChild<QAction*>("Plot")->trigger();
  list->findChild<QAction*>("Ln")->trigger();
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
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, key, key == Qt::Key_W ? Qt::ControlModifier : Qt::NoModifier);
    EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString();
  }
}

// From "Open" to a recording and its end, with keys only: the file
// dialogs are Qt's own and work from the keyboard, so they are scripted here.
TEST_F(PanelKeyboard, OpenRecordAndStopWithKeysAlone) {
  const std::string path = dir_.File("by-keys.dlgr");
  dialogs_.files.push_back({SLM_TEST_DATA_DIR "/plain_list.dlgr", 1});
  Press(Qt::Key_O, Qt::ControlModifier);
  ASSERT_NE(panel_->windows().file_list_real(), nullptr);
  EXPECT_TRUE(panel_->windows().file_list_real()->isVisible());
  panel_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(panel_.get()));

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
  dialogs_.files.push_back({path, 1});
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(Shown(*panel_, "PicSave"));
  ASSERT_TRUE(recorder_.recording());

  // Ctrl+S again ends the recording into the chosen file.
  Seconds(*panel_, 5);
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(recorder_.recording());
  EXPECT_EQ(dialogs_.notices.size(), 1u);
}

}  // namespace
}  // namespace slm
