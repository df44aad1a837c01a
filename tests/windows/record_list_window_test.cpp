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

// What differs between the kinds; their titles follow the file they show.
TEST(ListWindows, EachKindHasItsOwnButtonsAndLabels) {
  ScriptedDialogs dialogs;
  FileList file_list(dialogs);
  FileListReal file_list_real(dialogs);
  DataList data_list(dialogs);
  EXPECT_EQ(file_list.findChild<QAction*>("Plot")->toolTip(), "Plot");
  EXPECT_EQ(file_list_real.findChild<QAction*>("Plot")->toolTip(), "Graphic Plot");
  EXPECT_EQ(data_list.findChild<QAction*>("Plot"), nullptr);
  EXPECT_NE(file_list.findChild<QLabel*>("Board05"), nullptr);
  EXPECT_EQ(file_list_real.findChild<QLabel*>("Board05"), nullptr);
}

TEST(ListWindows, LnShowsTheResolutionChoiceAndOtherButtonsHideIt) {
  ScriptedDialogs dialogs;
  FileListReal window(dialogs);
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

TEST(ListWindows, DataListSavesTheSetInBothForms) {
  TempDir dir;
  ScriptedDialogs dialogs;
  DataList window(dialogs);
  window.Load(test::SampleMemorySet(), "");
  EXPECT_EQ(window.Board95->text(), "65.9");

  dialogs.files.push_back({dir.File("set.dlgr"), 1});
  dialogs.files.push_back({dir.File("set.csv"), 2});
  dialogs.files.push_back({});
  window.findChild<QAction*>("Save")->trigger();
  window.findChild<QAction*>("Save")->trigger();
  window.findChild<QAction*>("Save")->trigger();  // cancelled
  EXPECT_TRUE(dialogs.messages.empty());

  const DataFile data = OpenDataFile(dir.File("set.dlgr"));
  const DataFile csv = OpenDataFile(dir.File("set.csv"));
  // What each form holds is the writers' rule; here the window writes both.
  for (const DataFile* file : {&data, &csv}) {
    EXPECT_EQ(file->list.kind(), ListKind::kDataLogger2);
    EXPECT_EQ(file->list.size(), 3u);
  }
  EXPECT_NE(test::ReadBytes(dir.File("set.csv")).find("No.s,Date Time,dB,"), std::string::npos);
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

TEST(ListWindows, SaveShowsTheRowsWrittenInTheTitleThenItsOwnTitle) {
  TempDir dir;
  ScriptedDialogs dialogs;
  DataList window(dialogs);
  window.Load(test::SampleMemorySet(), "");
  TitleLog log(window);
  dialogs.files.push_back({dir.File("set.dlgr"), 1});
  window.SaveClicked();
  ASSERT_FALSE(log.titles.empty());
  EXPECT_EQ(log.titles.front(), "3Records Completed");
  EXPECT_EQ(window.windowTitle(), "Data List");
}

TEST(ListWindows, GridColumnsShowNumberDateTimeAndLevelOfEachRecord) {
  ScriptedDialogs dialogs;
  FileList file_list(dialogs);
  FileListReal file_list_real(dialogs);
  DataList data_list(dialogs);
  const RecordList set = test::SampleMemorySet();
  for (RecordListWindow* window :
       std::initializer_list<RecordListWindow*>{&file_list, &file_list_real, &data_list}) {
    SCOPED_TRACE(window->objectName().toStdString());
    window->Load(test::SampleMemorySet(), "");
    const QAbstractItemModel* model = window->GridN->model();
    ASSERT_EQ(model->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
      const auto i = static_cast<std::size_t>(row);
      EXPECT_EQ(model->data(model->index(row, 0)).toString().toStdString(), set.number(i));
      EXPECT_EQ(model->data(model->index(row, 1)).toString().toStdString(), set.date_time(i));
      EXPECT_EQ(model->data(model->index(row, 2)).toString().toStdString(), set.level(i));
    }
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Date Time");
  }
}

TEST(ListWindows, DataListCentresTheNumbersOnly) {
  ScriptedDialogs dialogs;
  FileList file_list(dialogs);
  DataList data_list(dialogs);
  file_list.Load(test::SampleMemorySet(), "");
  data_list.Load(test::SampleMemorySet(), "");
  auto alignment = [](const RecordListWindow& window, int column) {
    const QAbstractItemModel* model = window.GridN->model();
    return model->data(model->index(1, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
  };
  EXPECT_EQ(alignment(data_list, 0), Qt::AlignCenter);
  EXPECT_EQ(alignment(data_list, 1), Qt::AlignCenter);
  EXPECT_EQ(alignment(data_list, 2), Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(alignment(file_list, 0), Qt::AlignRight | Qt::AlignVCenter);
  // The centred view keeps the widths of the columns.
  EXPECT_EQ(data_list.GridN->columnWidth(1), file_list.GridN->columnWidth(1));
  EXPECT_GT(data_list.GridN->columnWidth(1), data_list.GridN->columnWidth(0));
}

TEST(ListWindows, SaveFailureNamesTheFile) {
  TempDir dir;
  ScriptedDialogs dialogs;
  DataList window(dialogs);
  window.Load(test::SampleMemorySet(), "");
  const std::string path = dir.File("gone/set.dlgr");
  dialogs.files.push_back({path, 1});
  window.SaveClicked();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].text.find(path), std::string::npos);
}

TEST(ListWindows, PlacedBesideThePanel) {
  ScriptedDialogs dialogs;
  QWidget panel;
  panel.setGeometry(0, 20, 100, 150);
  FileListReal window(dialogs);
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

TEST(ListWindows, OverAFullWidthPanelTheyTakeOnlyTheRightEdge) {
  ScriptedDialogs dialogs;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget panel;
  panel.setGeometry(screen.left(), screen.top(), screen.width(), 300);
  panel.show();
  FileList window(dialogs);
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
TEST(ListWindows, AGraphGoesBesideItsListNotOverIt) {
  ScriptedDialogs dialogs;
  test::ScriptedPrinting printing;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget list;  // a narrow list, so that the plot fits on either side
  Plot plot(dialogs, printing);
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
