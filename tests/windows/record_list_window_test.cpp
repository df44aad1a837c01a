#include "windows/record_list_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <initializer_list>
#include <vector>

#include "files/data_file_reader.h"
#include "support/sample_lists.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "windows/panel_fixture.h"
#include "windows/placement.h"
#include "windows/time_plot_window.h"

namespace slm {
namespace {

using test::ScriptedDialogs;
using test::TempDir;

// The three kinds of list window, each showing the sample memory set.
class ListWindows : public ::testing::Test {
 protected:
  ListWindows() {
    for (RecordListWindow* window : windows_) window->Load(test::SampleMemorySet(), "");
  }
  TempDir dir_;
  ScriptedDialogs dialogs_;
  FileList file_list_{dialogs_};
  FileListReal file_list_real_{dialogs_};
  DataList data_list_{dialogs_};
  const std::vector<RecordListWindow*> windows_{&file_list_, &file_list_real_, &data_list_};
};

// What differs between the kinds: their buttons, boards and alignment; the
// centred view keeps the widths of the columns.
TEST_F(ListWindows, EachKindShowsTheRecordsWithItsOwnButtonsAndLabels) {
  EXPECT_EQ(file_list_.findChild<QAction*>("Plot")->toolTip(), "Plot");
  EXPECT_EQ(file_list_real_.findChild<QAction*>("Plot")->toolTip(), "Graphic Plot");
  EXPECT_EQ(data_list_.findChild<QAction*>("Plot"), nullptr);
  EXPECT_NE(file_list_.findChild<QLabel*>("Board05"), nullptr);
  EXPECT_EQ(file_list_real_.findChild<QLabel*>("Board05"), nullptr);
  EXPECT_EQ(data_list_.Board95->text(), "65.9");
  const RecordList set = test::SampleMemorySet();
  for (RecordListWindow* window : windows_) {
    SCOPED_TRACE(window->objectName().toStdString());
    const QAbstractItemModel* model = window->GridN->model();
    ASSERT_EQ(model->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
      const auto i = static_cast<std::size_t>(row);
      EXPECT_EQ(model->data(model->index(row, 0)).toString().toStdString(), set.number(i));
      EXPECT_EQ(model->data(model->index(row, 1)).toString().toStdString(), set.date_time(i));
      EXPECT_EQ(model->data(model->index(row, 2)).toString().toStdString(), set.level(i));
    }
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Date Time");
    // Every list centres the times; only the data list its numbers too.
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment aligned[] = {window == &data_list_ ? Qt::AlignCenter : right,
                                     Qt::AlignCenter, right};
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(model->data(model->index(1, column), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                aligned[column])
          << column;
    }
    EXPECT_EQ(window->GridN->columnWidth(1), file_list_.GridN->columnWidth(1));
    EXPECT_GT(window->GridN->columnWidth(1), window->GridN->columnWidth(0));
  }
}

TEST_F(ListWindows, LnShowsTheResolutionChoiceAndOtherButtonsHideIt) {
  FileListReal& window = file_list_real_;
  EXPECT_TRUE(window.PicResolution->isHidden());
  window.show();
  window.findChild<QAction*>("Ln")->trigger();
  EXPECT_FALSE(window.PicResolution->isHidden());
  EXPECT_EQ(window.focusWidget(), window.Cmd01dB);
  window.findChild<QAction*>("Ln")->trigger();
  EXPECT_FALSE(window.PicResolution->isHidden());
  window.findChild<QAction*>("Print")->trigger();
  EXPECT_TRUE(window.PicResolution->isHidden());
}

// Every title the window shows, in order.
class TitleLog : public QObject {
 public:
  explicit TitleLog(QWidget& window) : window_(window) { window.installEventFilter(this); }
  std::vector<QString> titles;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowTitleChange) titles.push_back(window_.windowTitle());
    return false;
  }

 private:
  QWidget& window_;
};

// Both forms, the rows written shown in the title meanwhile; a file that
// cannot be written is named.
TEST_F(ListWindows, DataListSavesTheSetInBothForms) {
  TitleLog log(data_list_);
  dialogs_.files.push_back({dir_.File("set.dlgr"), 1});
  dialogs_.files.push_back({dir_.File("set.csv"), 2});
  dialogs_.files.push_back({});
  for (int i = 0; i < 3; ++i)
    data_list_.findChild<QAction*>("Save")->trigger();  // the last cancelled
  EXPECT_TRUE(dialogs_.messages.empty());
  ASSERT_FALSE(log.titles.empty());
  EXPECT_EQ(log.titles.front(), "3Records Completed");
  EXPECT_EQ(data_list_.windowTitle(), "Data List");

  const DataFile data = OpenDataFile(dir_.File("set.dlgr"));
  const DataFile csv = OpenDataFile(dir_.File("set.csv"));
  // What each form holds is the writers' rule; here the window writes both.
  for (const DataFile* file : {&data, &csv}) {
    EXPECT_EQ(file->list.kind(), ListKind::kDataLogger2);
    EXPECT_EQ(file->list.size(), 3u);
  }
  EXPECT_NE(test::ReadBytes(dir_.File("set.csv")).find("No.s,Date Time,dB,"), std::string::npos);

  const std::string path = dir_.File("gone/set.dlgr");
  dialogs_.files.push_back({path, 1});
  data_list_.SaveClicked();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(path), std::string::npos);
}

TEST_F(ListWindows, PlacedBesideThePanel) {
  QWidget panel;
  panel.setGeometry(0, 20, 100, 150);
  FileListReal& window = file_list_real_;
  window.resize(300, 300);
  PlaceBesidePanel(window, panel);
  EXPECT_EQ(window.pos().x(), panel.frameGeometry().right() + 1);
  EXPECT_EQ(window.pos().y(), panel.frameGeometry().top());

  // Where the room beside it is narrower than the window, it narrows to stay
  // beside the panel.
  const QRect room = panel.screen()->availableGeometry();
  panel.setGeometry(room.right() - 100 - window.minimumSizeHint().width(), 20, 100, 150);
  window.resize(room.width(), 300);
  PlaceBesidePanel(window, panel);
  EXPECT_EQ(window.pos().x(), panel.frameGeometry().right() + 1);
  EXPECT_LE(window.frameGeometry().right(), room.right());

  // Where there is no room beside it, the list stays on the screen.
  const QRect screen = panel.screen()->availableGeometry();
  panel.setGeometry(screen.right() - 250, 20, 200, 150);
  PlaceBesidePanel(window, panel);
  EXPECT_LE(window.frameGeometry().right(), screen.right());
}

TEST_F(ListWindows, OverAFullWidthPanelTheyTakeOnlyTheRightEdge) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget panel;
  panel.setGeometry(screen.left(), screen.top(), screen.width(), 300);
  panel.show();
  FileList& window = file_list_;
  window.resize(screen.width(), 300);
  PlaceBesidePanel(window, panel);
  // At its least width against the screen's right edge: the panel's left
  // part, where its level display is, stays in sight.
  EXPECT_EQ(window.width(), window.minimumSizeHint().width());
  EXPECT_EQ(window.frameGeometry().right(), screen.right());

  // A window taller than the screen is cut down to it.
  window.resize(300, screen.height() + 400);
  PlaceBesidePanel(window, panel);
  EXPECT_LE(window.frameGeometry().bottom(), screen.bottom());
  EXPECT_GE(window.y(), screen.top());
}

// A list's plot goes beside the list, on the side with room, and stays on
// the screen; it takes the size asked for only as far as the screen allows.
TEST_F(ListWindows, AGraphGoesBesideItsListNotOverIt) {
  test::ScriptedPrinting printing;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget list;  // a narrow list, so that the plot fits on either side
  Plot plot(dialogs_, printing);
  list.show();
  plot.show();
  const QSize wanted(screen.width() / 3, screen.height() / 2);
  for (const bool list_on_the_left : {true, false}) {
    list.setGeometry(list_on_the_left ? screen.left() : screen.right() - 120, screen.top() + 10,
                     120, 200);
    PlaceBesideList(plot, list, wanted);
    const QRect at = plot.frameGeometry(), beside = list.frameGeometry();
    EXPECT_FALSE(at.intersects(beside)) << list_on_the_left;
    EXPECT_EQ(at.left() > beside.left(), list_on_the_left);
    EXPECT_EQ(plot.size(), wanted.expandedTo(plot.minimumSizeHint())) << list_on_the_left;
  }
  // Too large for any side: as large as the screen, and on it.
  PlaceBesideList(plot, list, screen.size() * 2);
  EXPECT_TRUE(screen.contains(plot.frameGeometry()));
}

}  // namespace
}  // namespace slm
