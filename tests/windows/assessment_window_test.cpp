// The Assessment window over the core: its settings, the chart and the rows
// that choose each other, the stretches left out and their side files, and
// how the list windows and the panel's File menu open it.
#include "windows/assessment_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <deque>
#include <optional>
#include <utility>

#include "analysis/live_chart_data.h"
#include "base/calendar.h"
#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "files/exclusions_file.h"
#include "support/sample_lists.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "support/temp_dir.h"
#include "windows/panel_windows.h"

namespace slm {
namespace {

// A dialog that takes several files at once.
class FilesDialogs : public test::ScriptedDialogs {
 public:
  std::vector<std::string> OpenFiles(const std::string&) override {
    if (file_sets.empty()) return {};
    std::vector<std::string> paths = file_sets.front();
    file_sets.pop_front();
    return paths;
  }
  std::deque<std::vector<std::string>> file_sets;
  // Cancel rather than answer the next question that asks for a text.
  bool cancel_input = false;
  std::optional<std::string> InputOrCancel(const std::string& prompt, const std::string& title,
                                           const std::string& text) override {
    if (std::exchange(cancel_input, false)) return std::nullopt;
    return ScriptedDialogs::InputOrCancel(prompt, title, text);
  }
};

// Two hours at one second from `start`: 50 dB, then 60 dB, with 80 dB for
// the minute from 10:30 in the first hour.
RecordList TwoHours(const std::string& start = "2024/05/01 10:00:00") {
  std::vector<std::string> levels;
  for (int s = 0; s < 7200; ++s) {
    levels.push_back(s >= 1800 && s < 1860 ? "80.0" : s < 3600 ? "50.0" : "60.0");
  }
  return test::ListOf(levels, start);
}

std::int64_t At(const char* clock) { return *ParseClockText(clock); }

class AssessmentWindowTest : public ::testing::Test {
 protected:
  std::string Save(const std::string& name, const RecordList& list) {
    const std::string path = dir_.File(name);
    SaveRecordList(path, list, Separator::kTab);
    return path;
  }
  // A list with no file is named by its window's caption.
  std::unique_ptr<AssessmentWindow> Open(const RecordList& list, const std::string& path) {
    const NamedList named{&list, path.empty() ? "Data List - Set 1" : path};
    auto window = std::make_unique<AssessmentWindow>(
        std::make_unique<AssessmentDocument>(std::span(&named, 1), !path.empty()), dialogs_);
    Ready(*window);
    return window;
  }
  static void Ready(AssessmentWindow& w) {
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.computing(); }, 10000));
  }
  static std::size_t Rows(QTableView* table) {
    return static_cast<std::size_t>(table->model()->rowCount());
  }
  // The windows a panel opens, on a panel of its own.
  PanelWindows& Windows() {
    if (!windows_) {
      windows_ =
          std::make_unique<PanelWindows>(panel_, dialogs_, printing_, ln_table_, charts_, [] {});
    }
    return *windows_;
  }

  test::TempDir dir_;
  FilesDialogs dialogs_;
  test::ScriptedPrinting printing_;
  LnTable ln_table_;
  LiveChartData charts_;
  QWidget panel_;
  std::unique_ptr<PanelWindows> windows_;
};

TEST_F(AssessmentWindowTest, SettingsChangeTheFiguresAndOneRefusedKeepsThem) {
  const RecordList list = TwoHours();
  auto w = Open(list, "");
  EXPECT_EQ(w->windowTitle(), "Assessment - Data List - Set 1");
  EXPECT_EQ(Rows(w->TblIntervals), 2u);
  EXPECT_FALSE(w->figures()->assessment.events_assessed);
  EXPECT_NE(w->LblNote->text().indexOf("kept in this window only"), -1);
  // A stretch whose reason is cancelled is not left out.
  dialogs_.cancel_input = true;
  w->Chart->on_stretch_dragged(At("2024/05/01 10:00:00"), At("2024/05/01 10:10:00"));
  EXPECT_TRUE(w->document().exclusions().empty());

  w->CmbInterval->setCurrentIndex(2);  // 15 min
  w->TxtThreshold->setText("70");
  w->SpnMinDuration->setValue(30);
  Ready(*w);
  EXPECT_EQ(Rows(w->TblIntervals), 8u);
  ASSERT_EQ(w->figures()->assessment.events.size(), 1u);
  EXPECT_EQ(w->figures()->assessment.events[0].start, At("2024/05/01 10:30:00"));
  EXPECT_EQ(w->figures()->settings.min_duration, 30);

  // A minute is as long as the event: 61 s drops it.
  w->SpnMinDuration->setValue(61);
  Ready(*w);
  EXPECT_TRUE(w->figures()->assessment.events.empty());

  w->TxtPercentiles->setText("10, 200");
  Ready(*w);
  EXPECT_NE(w->LblNote->text().indexOf("cannot be used"), -1) << w->LblNote->text().toStdString();
  EXPECT_EQ(w->figures()->settings.percentiles, (std::vector<int>{1, 5, 10, 50, 90, 95, 99}));
  EXPECT_EQ(Rows(w->TblIntervals), 8u);
}

TEST_F(AssessmentWindowTest, ARowZoomsTheChartAndAClickOnTheChartChoosesTheRows) {
  const RecordList list = TwoHours();
  auto w = Open(list, "");
  w->TxtThreshold->setText("70");
  Ready(*w);
  w->show();
  w->Tabs->setCurrentWidget(w->TblEvents);
  w->TblEvents->selectRow(0);
  const AxisRange view = w->Chart->XRange();
  EXPECT_DOUBLE_EQ(view.min, At("2024/05/01 10:30:00") - 6.0);
  EXPECT_DOUBLE_EQ(view.max, At("2024/05/01 10:31:00") + 6.0);

  // A click in the second hour chooses its interval and no event, and leaves the view.
  w->Chart->on_clicked_at(At("2024/05/01 11:20:00"));
  EXPECT_EQ(w->TblIntervals->selectionModel()->selectedRows().value(0).row(), 1);
  EXPECT_TRUE(w->TblEvents->selectionModel()->selectedRows().isEmpty());
  EXPECT_DOUBLE_EQ(w->Chart->XRange().min, view.min);
  w->Chart->on_clicked_at(At("2024/05/01 10:30:30"));
  EXPECT_EQ(w->TblEvents->selectionModel()->selectedRows().value(0).row(), 0);
}

TEST_F(AssessmentWindowTest, CtrlEAssessesTheListAndADragLeavesOutAStretchKeptInItsSideFile) {
  const std::string path = Save("day1.dlgr", TwoHours());
  DataFile file = OpenDataFile(path);
  Windows().ShowFile(std::move(file), path);
  RecordListWindow* list = Windows().file_list_real();
  ASSERT_NE(list, nullptr);
  list->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(list));
  QTest::keyClick(list, Qt::Key_E, Qt::ControlModifier);
  AssessmentWindow* w = Windows().assessment();
  ASSERT_NE(w, nullptr);
  Ready(*w);
  EXPECT_EQ(w->windowTitle(), "Assessment - day1.dlgr");
  EXPECT_EQ(w->figures()->assessment.total.count, 7200);

  dialogs_.answers.push_back("siren passing");
  w->Chart->on_stretch_dragged(At("2024/05/01 10:30:00") + 0.4, At("2024/05/01 10:29:00") + 0.6);
  Ready(*w);
  const Exclusion siren{At("2024/05/01 10:29:00"), At("2024/05/01 10:30:01"), "siren passing"};
  EXPECT_EQ(w->figures()->assessment.excluded, 61);
  EXPECT_EQ(w->figures()->assessment.total.count, 7200 - 61);
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), std::vector<Exclusion>{siren});
  EXPECT_EQ(Rows(w->TblExclusions), 1u);
  EXPECT_TRUE(dialogs_.messages.empty());

  // Opened again, the window leaves the same stretch out.
  const double leq = w->figures()->assessment.total.Leq();
  QTest::keyClick(list, Qt::Key_E, Qt::ControlModifier);
  w = Windows().assessment();
  Ready(*w);
  EXPECT_EQ(w->document().exclusions(), std::vector<Exclusion>{siren});
  EXPECT_DOUBLE_EQ(w->figures()->assessment.total.Leq(), leq);

  // "Exclude..." on the second hour, then the first stretch counted again.
  w->TblIntervals->selectRow(1);
  w->ExcludeSelected();
  w->TblExclusions->selectRow(0);
  dialogs_.yes_no.push_back(true);
  w->RemoveExclusion();
  Ready(*w);
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)),
            (std::vector<Exclusion>{{At("2024/05/01 11:00:00"), At("2024/05/01 12:00:00"), ""}}));
  EXPECT_EQ(w->figures()->assessment.total.count, 3600);

  // The table on show as CSV, and the report of what is shown.
  dialogs_.files.push_back({dir_.File("hours"), 1});
  w->ExportTable();
  const std::vector<std::string> csv = test::Lines(test::ReadBytes(dir_.File("hours.csv")));
  ASSERT_EQ(csv.size(), 2u);  // the header and the first hour
  EXPECT_EQ(csv[0].rfind("Start,Records,cover %,Leq,Lmax,Lmax time,Lmin,SEL,L1,", 0), 0u);
  dialogs_.files.push_back({dir_.File("report.pdf"), 1});
  w->WriteReport();
  EXPECT_EQ(test::ReadBytes(dir_.File("report.pdf")).rfind("%PDF", 0), 0u);
  ASSERT_EQ(dialogs_.notices.size(), 2u);
  EXPECT_NE(dialogs_.notices[1].text.find(dir_.File("report.pdf")), std::string::npos);
}

TEST_F(AssessmentWindowTest, ASideFileThatCannotBeReadIsSaidAndNeverWrittenOver) {
  const std::string path = Save("day1.dlgr", TwoHours());
  const std::string side = ExclusionsPathFor(path);
  test::WriteBytes(side, "2024/05/01 10:00:00..soon\n");
  auto w = Open(TwoHours(), path);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(side), std::string::npos);
  w->ExcludeStretch({At("2024/05/01 10:00:00"), At("2024/05/01 10:01:00")});
  Ready(*w);
  EXPECT_EQ(w->figures()->assessment.excluded, 60);
  EXPECT_EQ(test::ReadBytes(side), "2024/05/01 10:00:00..soon\n");
  EXPECT_EQ(dialogs_.messages.size(), 2u);
}

TEST_F(AssessmentWindowTest, AssessFilesRefusesOverlapsAndKeepsAStretchAcrossFilesInBoth) {
  const std::string day1 = Save("day1.dlgr", TwoHours("2024/05/01 10:00:00"));
  const std::string day2 = Save("day2.dlgr", TwoHours("2024/05/01 12:00:00"));
  const std::string late = Save("late.dlgr", TwoHours("2024/05/01 11:00:00"));
  test::WriteBytes(day2, test::ReadBytes(day2) + "no record\r\n");

  dialogs_.file_sets.push_back({day1, late});
  Windows().AssessFiles();
  EXPECT_EQ(Windows().assessment(), nullptr);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find("day1.dlgr"), std::string::npos);
  EXPECT_NE(dialogs_.messages[0].text.find("late.dlgr"), std::string::npos);

  dialogs_.file_sets.push_back({day2, day1});
  Windows().AssessFiles();
  AssessmentWindow* w = Windows().assessment();
  ASSERT_NE(w, nullptr);
  Ready(*w);
  EXPECT_EQ(w->windowTitle(), "Assessment - day1.dlgr ... day2.dlgr");
  // What of a file was not read is said.
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_NE(dialogs_.messages[1].text.find("day2.dlgr: 1 line"), std::string::npos)
      << dialogs_.messages[1].text;
  dialogs_.answers.push_back("works");
  w->ExcludeStretch({At("2024/05/01 11:59:00"), At("2024/05/01 12:01:00")});
  const Exclusion works{At("2024/05/01 11:59:00"), At("2024/05/01 12:01:00"), "works"};
  for (const std::string& path : {day1, day2}) {
    EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), std::vector<Exclusion>{works}) << path;
  }
  dialogs_.file_sets.push_back({day1, day2});
  Windows().AssessFiles();
  Ready(*Windows().assessment());
  EXPECT_EQ(Windows().assessment()->document().exclusions(), std::vector<Exclusion>{works});
  EXPECT_EQ(Windows().assessment()->figures()->assessment.excluded, 120);
}

}  // namespace
}  // namespace slm
