// The list windows: what each kind shows, its buttons, saving, where it is
// placed, and its printed report.
#include "windows/record_list_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <filesystem>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "analysis/list_report.h"
#include "files/data_file_reader.h"
#include "support/file_size_limit.h"
#include "support/pdf_pages.h"
#include "support/sample_lists.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "windows/list_report_printer.h"
#include "windows/panel_fixture.h"
#include "windows/placement.h"
#include "windows/time_plot_window.h"

namespace slm {
namespace {

using test::ScriptedDialogs;
using test::ScriptedPrinting;
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
    EXPECT_TRUE(window->LblSkipped->isHidden());  // nothing was skipped
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
  panel.setGeometry(room.right() - 250, 20, 200, 150);
  PlaceBesidePanel(window, panel);
  EXPECT_LE(window.frameGeometry().right(), room.right());

  // Over a panel as wide as the screen, at its least width against the
  // screen's right edge: the panel's left part, where its level display is,
  // stays in sight.
  panel.setGeometry(room.left(), room.top(), room.width(), 300);
  panel.show();
  window.resize(room.width(), 300);
  PlaceBesidePanel(window, panel);
  EXPECT_EQ(window.width(), window.minimumSizeHint().width());
  EXPECT_EQ(window.frameGeometry().right(), room.right());

  // A window taller than the screen is cut down to it.
  window.resize(300, room.height() + 400);
  PlaceBesidePanel(window, panel);
  EXPECT_LE(window.frameGeometry().bottom(), room.bottom());
  EXPECT_GE(window.y(), room.top());
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

// Seven records a second apart, the loudest the fifth; the header of a PC recording.
RecordList SevenRecords() {
  RecordList list =
      test::ListOf({"60.1", "61.2", "62.3", "63.4", "91.4", "65.5", "66.6"}, "2024/03/01 10:00:00");
  list.header() = test::SampleRealTimeList().header();
  return list;
}

// Whether the text has a line of record `first` with exactly `levels` after its time.
bool HasRecordLine(const std::string& text, int first, const std::string& levels) {
  const std::regex line("(^|\\n) *" + std::to_string(first) + " +2024/03/01 10:00:0" +
                        std::to_string(first - 1) + " +" + levels + " *(\\n|$)");
  return std::regex_search(text, line);
}

class ListReportPrinterTest : public ::testing::Test {
 protected:
  ListReportPrinterTest() : window_(dialogs_) {
    window_.Load(SevenRecords(), "levels.dlgr");
    printing_.path = dir_.File("report.pdf");
  }
  // Counts the steps at which the report let the program's timers run.
  void Print() {
    PrintListReport(window_, dialogs_, printing_, [this] { ++kept_alive_; });
  }

  TempDir dir_;
  ScriptedDialogs dialogs_;
  ScriptedPrinting printing_;
  int kept_alive_ = 0;
  FileListReal window_;
};

// Cancelled in the printer dialog, or by an empty answer before it: nothing
// printed, nothing said, the window as it was.
TEST_F(ListReportPrinterTest, ACancelledReportPrintsNothingAndSaysNothing) {
  const struct {
    std::vector<std::string> answers;
    std::string pdf;  // "" for a cancelled printer dialog
    std::size_t prompts;
    int printer_asked;
  } cases[] = {{{"1"}, "", 1, 1}, {{"0", ""}, dir_.File("report.pdf"), 2, 0}};
  for (const auto& c : cases) {
    printing_.path = c.pdf;
    printing_.asked = 0;
    dialogs_.prompts.clear();
    dialogs_.answers = {c.answers.begin(), c.answers.end()};
    Print();
    EXPECT_EQ(dialogs_.prompts.size(), c.prompts);
    EXPECT_EQ(printing_.asked, c.printer_asked);
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_TRUE(dialogs_.notices.empty());
    EXPECT_TRUE(c.pdf.empty() || test::ReadBytes(c.pdf).empty());
    EXPECT_EQ(window_.windowTitle(), "levels.dlgr");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

// Two copies, each in full.
TEST_F(ListReportPrinterTest, AsksUntilTheAnswerIsOneToFiveThenPrintsThatManyToALine) {
  printing_.copies = 2;
  dialogs_.answers = {"9", "abc", "2.7"};
  Print();
  ASSERT_EQ(dialogs_.prompts.size(), 3u);
  EXPECT_EQ(dialogs_.prompts[0], kRecordsPerLinePrompt);
  EXPECT_TRUE(dialogs_.messages.empty());  // no note to click away
  ASSERT_EQ(dialogs_.notices.size(), 1u);  // where it went
  EXPECT_EQ(dialogs_.notices[0].text, "1 page written to " + printing_.path);
  EXPECT_GT(kept_alive_, 0);  // sampling goes on while the report is made

  EXPECT_EQ(window_.windowTitle(), "levels.dlgr");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  const std::string text = test::PdfText(printing_.path);
  EXPECT_EQ(test::Occurrences(text, "Freq Weight : A"), 2) << text;
  EXPECT_EQ(test::Occurrences(text, "Level Range : 80-140"), 4) << text;
  EXPECT_EQ(test::Occurrences(text, "Max dB : 92.4 - 2016/03/23 14:07:19"), 2) << text;
  EXPECT_TRUE(HasRecordLine(text, 1, "60.1 +61.2")) << text;
  EXPECT_TRUE(HasRecordLine(text, 3, "62.3 +63.4")) << text;
  EXPECT_TRUE(HasRecordLine(text, 7, "66.6")) << text;
}

TEST_F(ListReportPrinterTest, AFieldTooLongIsReportedAndTheLinesBeforeItPrinted) {
  RecordList list = SevenRecords();
  list.Append("8", "2024/03/01 10:00:07", "1234567890");
  window_.Load(std::move(list), "long.dlgr");
  dialogs_.answers = {"1"};
  std::vector<std::string> captions;
  dialogs_.on_message = [&] { captions.push_back(window_.windowTitle().toStdString()); };
  Print();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, ReportStopText({8, "dB", "1234567890", 9}));
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kExclamation);
  // Said while the report is still under way: progress caption.
  EXPECT_NE(captions[0].find(" Completed"), std::string::npos) << captions[0];
  EXPECT_EQ(window_.windowTitle(), "long.dlgr");
}

TEST_F(ListReportPrinterTest, AReportPrintedToAFileThatCannotBeWrittenWholeIsSaidSo) {
  const std::string old_report = "the report printed last time\n";
  test::WriteBytes(printing_.path, old_report);
  const struct {
    std::string path;
    std::size_t disk;  // bytes that fit on the disk
    std::string says;
  } cases[] = {
      {dir_.File("no-folder/report.pdf"), 1 << 30, "its folder does not exist."},
      {printing_.path, 4096,
       "the file would grow past the largest size allowed here; the file "
       "that was there is kept as it was."},
  };
  for (const auto& c : cases) {
    printing_.path = c.path;
    dialogs_.messages.clear();
    dialogs_.answers = {"1"};
    {
      test::FileSizeLimit disk(c.disk);
      Print();
    }
    ASSERT_EQ(dialogs_.messages.size(), 1u) << c.path;
    EXPECT_EQ(dialogs_.messages[0].text, c.path + " could not be written: " + c.says);
  }
  EXPECT_EQ(test::ReadBytes(printing_.path), old_report);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

}  // namespace
}  // namespace slm
