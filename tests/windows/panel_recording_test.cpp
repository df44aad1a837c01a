// The panel's PC sampling, recording, list saving and file opening, and what
// it tells the user about them, a lost meter and its own state.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRadioButton>
#include <QScrollBar>
#include <filesystem>

#include "files/data_file_reader.h"
#include "support/file_size_limit.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

class PanelRecording : public test::RunningPanelTest {
 protected:
  std::string Label(const char* name) { return Text(*panel_, name).toStdString(); }
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The running values are the recorder's (tested in the core); the panel shows
// them, and "Refresh" leaves them shown until the next second starts anew.
TEST_F(PanelRecording, SamplesFillTheListAndTheRunningValuesAndRefreshStartsAgain) {
  Seconds(4);
  auto* grid = Find<QTableView>(*panel_, "GridN");
  ASSERT_EQ(grid->model()->rowCount(), 3);
  EXPECT_EQ(grid->model()->data(grid->model()->index(2, 0)).toString(), "3");
  EXPECT_EQ(grid->model()->data(grid->model()->index(2, 2)).toString(), "66.6");
  EXPECT_EQ(Text(*panel_, "BoardLeq"), "66.6");
  EXPECT_EQ(Text(*panel_, "BoardSEL"), "72.6");  // 66.6 + 10 log10(4)
  EXPECT_EQ(Texts(*panel_, {"LblFigure1", "LblFigureValue1"}), "Leq 1 min|66.6 dB");

  panel_->ToolbarClicked("Refresh");
  EXPECT_EQ(grid->model()->rowCount(), 0);
  EXPECT_EQ(charts_.sample_count(), 0);
  EXPECT_EQ(Text(*panel_, "BoardSEL"), "72.6");
  EXPECT_EQ(Text(*panel_, "LblFigureValue1"), "--");
  // The sampling rhythm goes on, a row every second; the Max boards say the
  // loudest sample and when it came.
  for (const double level : {70.0, 68.0}) {
    meter_.model().SetLevel(level);
    Seconds(1);
  }
  EXPECT_EQ(grid->model()->rowCount(), 2);
  EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), "1");
  EXPECT_EQ(Text(*panel_, "BoardMaxdB"), "70.0");
  EXPECT_EQ(Text(*panel_, "BoardMaxTime"),
            grid->model()->data(grid->model()->index(0, 1)).toString());
}

TEST_F(PanelRecording, RecordThenSaveWritesTheFileAndItOpensAgain) {
  const std::string path = dir_.File("walk.dlgr");
  StartRecording(path, 1);
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Stop Recording");
  EXPECT_EQ(Text(*panel_, "LblFileName"), "walk.dlgr");
  meter_.model().SetLevels({60.0, 70.0, 80.0});
  Seconds(6);  // the first second only counts towards the first sample
  EXPECT_EQ(Action(*panel_, "Save")->iconText(), "Stop");

  // "Open" is refused while recording.
  panel_->ToolbarClicked("Open");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "Recording Mode!\nPlease stop recording!");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kCritical);

  // "Stop Recording" asks first: No, the default, keeps it running, and the
  // samples go on while the question is open.
  dialogs_.while_open = [this] { Seconds(2); };
  panel_->ToolbarClicked("Save");
  EXPECT_EQ(dialogs_.questions, std::vector<std::string>{kStopRecordingQuestion});
  EXPECT_TRUE(recorder_.recording());
  EXPECT_EQ(recorder_.total_samples(), 7u);
  dialogs_.while_open = nullptr;
  dialogs_.yes_no = {true};
  panel_->ToolbarClicked("Save");  // ends the recording, and says where it went
  ASSERT_EQ(dialogs_.notices.size(), 1u);
  const std::string saved = "The recording was saved to \"" + path + "\": 7 samples.";
  EXPECT_EQ(dialogs_.notices[0].text, saved);
  EXPECT_EQ(Label("LblLastMessage"), saved);
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Save As");
  EXPECT_EQ(Action(*panel_, "Save")->iconText(), "Save");
  EXPECT_FALSE(Shown(*panel_, "LblRec"));
  EXPECT_EQ(Text(*panel_, "LblCount"), "");

  // Opened again, the list shows the header the recording wrote.
  dialogs_.files.push_back({path, 1});
  panel_->ToolbarClicked("Open");
  FileListReal* list = panel_->windows().file_list_real();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "walk.dlgr");
  EXPECT_EQ(list->GridModel->rowCount(), 7);
  const std::vector<std::string> lines = test::Lines(test::ReadBytes(path));
  const QLabel* boards[] = {list->BoardCA,      list->BoardSFI, list->BoardLevel, list->BoardMaxdB,
                            list->BoardMaxTime, list->BoardSEL, list->BoardLeq};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(boards[i]->text().toStdString(), lines[i + 2]) << i;
  EXPECT_EQ(panel_->windowTitle(), "Panel");  // the progress caption is gone
  EXPECT_TRUE(panel_->timer1().isActive());
  EXPECT_TRUE(panel_->timer2().isActive());
}

TEST_F(PanelRecording, CsvListSaveAndCancelledDialogs) {
  Seconds(3);
  panel_->ToolbarClicked("Save");
  Find<QRadioButton>(*panel_, "OptSaveList")->click();
  dialogs_.files.push_back({});  // cancelled: nothing happens
  Find<QPushButton>(*panel_, "CmdSaveOK")->click();
  EXPECT_FALSE(recorder_.recording());
  EXPECT_TRUE(dialogs_.messages.empty());

  panel_->ToolbarClicked("Save");
  Find<QRadioButton>(*panel_, "OptSaveList")->click();
  const std::string path = dir_.File("list.csv");
  dialogs_.files.push_back({path, 2});
  Find<QPushButton>(*panel_, "CmdSaveOK")->click();
  const auto lines = test::Lines(test::ReadBytes(path));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Real Time");
  EXPECT_EQ(lines[9], "No.s,Date Time,dB,");
  EXPECT_EQ(lines[11].substr(0, 2), "2,");
  EXPECT_TRUE(dialogs_.messages.empty());
}

// Sampling never stops for a window: a recording made while the user prints
// a list, saves a list and has its levels counted keeps every second. The
// dialogs stay open a while, and each click comes in while the live tick
// waits for the meter.
TEST_F(PanelTest, ARecordingHasEverySecondWhileDialogsAndLongJobsRun) {
  auto panel = OnlinePanel();
  meter_.model().SetLevel(66.6);
  panel->OpenPath(std::string(SLM_TEST_DATA_DIR) + "/real_time.dlgr");
  ASSERT_NE(panel->windows().file_list_real(), nullptr);
  RecordListWindow& list = *panel->windows().file_list_real();
  dialogs_.while_open = [&] { RunFor(*panel, 1.5); };
  printing_.while_open = dialogs_.while_open;
  printing_.path = dir_.File("report.pdf");
  const std::string path = dir_.File("busy.dlgr");
  dialogs_.files.push_back({path, 1});
  panel->ToolbarClicked("Save");
  Find<QPushButton>(*panel, "CmdSaveOK")->click();
  ASSERT_TRUE(recorder_.recording());
  const double started = meter_.elapsed();
  RunFor(*panel, 3);

  dialogs_.answers = {"2"};
  ClickDuringLiveTick([&] { list.on_print(); });
  RunFor(*panel, 1);
  dialogs_.files.push_back({dir_.File("copy.dlgr"), 1});
  ClickDuringLiveTick([&] { list.SaveClicked(); });
  RunFor(*panel, 1);
  ClickDuringLiveTick([&] { list.on_statistics(StatResolution::kTenth); });
  RunFor(*panel, 2);
  EXPECT_EQ(dialogs_.prompts.size(), 1u);  // the print flow ran
  EXPECT_TRUE(std::filesystem::exists(dir_.File("copy.dlgr")));
  ASSERT_NE(panel->windows().histogram(), nullptr);

  const double seconds = meter_.elapsed() - started;
  dialogs_.yes_no = {true};
  panel->ToolbarClicked("Save");
  const DataFile file = OpenDataFile(path);
  ASSERT_GE(static_cast<double>(file.list.size()), seconds - 2) << seconds << " s";
  for (std::size_t i = 1; i < file.list.size(); ++i) {
    const std::string before(file.list.date_time(i - 1));
    const std::string after(file.list.date_time(i));
    const int step = (std::stoi(after.substr(17)) - std::stoi(before.substr(17)) + 60) % 60;
    EXPECT_EQ(step, 1) << before << " to " << after;
  }
}

// A job that talks to the meter stops its live readings: during a recording
// it asks first, and "No" leaves the meter and the recording alone.
TEST_F(PanelRecording, AMeterJobDuringARecordingAsksFirst) {
  StartRecording(dir_.File("asked.dlgr"), 1);
  Seconds(2);
  const std::size_t writes = meter_.writes().size();
  dialogs_.yes_no = {false};
  panel_->ToolbarClicked("Erase");
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_NE(dialogs_.questions[0].find("the recording will have a gap"), std::string::npos);
  EXPECT_EQ(meter_.writes().size(), writes);
  Seconds(2);
  EXPECT_EQ(recorder_.total_samples(), 3u);
}

// The folder goes away while recording: the stop names the file.
TEST_F(PanelRecording, AStopThatCannotWriteTheFileNamesIt) {
  std::filesystem::create_directory(dir_.File("gone"));
  StartRecording(dir_.File("gone/rec.dlgr"), 1);
  std::filesystem::remove(dir_.File("gone"));
  Seconds(3);
  dialogs_.yes_no = {true};
  panel_->ToolbarClicked("Save");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(dir_.File("gone/rec.dlgr")), std::string::npos);
}

TEST_F(PanelRecording, OpenReportsADamagedEndSkippedLinesAndMissingFiles) {
  const std::string path = dir_.File("odd.dlgr");
  std::filesystem::copy_file(SLM_TEST_DATA_DIR "/data_logger_2.dlgr", path);
  std::ofstream(path, std::ios::binary | std::ios::app)
      << "not a record\r\n"
      << std::string(512, '\0');  // a power cut's end
  dialogs_.files.push_back({path, 1});
  panel_->ToolbarClicked("Open");
  FileList* list = panel_->windows().file_list();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GridModel->rowCount(), 3);
  EXPECT_EQ(list->Board05->text(), "78.1");
  EXPECT_EQ(list->BoardLeq->text(), "72.3");
  EXPECT_EQ(list->BoardLevel->text(), "70-130");
  EXPECT_FALSE(list->LblSkipped->isHidden());
  EXPECT_EQ(list->LblSkipped->text().toStdString(),
            "The end of the file was damaged: 512 zero bytes, as a power cut leaves them, were "
            "left out; the records before them were read.\n1 line was skipped (not three "
            "fields).");

  const std::string missing = dir_.File("nowhere.dlgr");
  dialogs_.files.push_back({missing, 1});
  panel_->ToolbarClicked("Open");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(missing), std::string::npos);
}

TEST_F(PanelRecording, LaunchPeriodAsksAgainUntilTheFormatIsRight) {
  dialogs_.answers = {"10:30", "01:02:03"};
  Find<QPushButton>(*panel_, "CmdL")->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "Invalid, comply with the data format properly\n");
  ASSERT_TRUE(panel_->strip->launch_period().has_value());
  EXPECT_EQ(panel_->strip->launch_period()->period_seconds, 3723);
  EXPECT_EQ(dialogs_.prompts.size(), 2u);
}

TEST_F(PanelRecording, RecordingStripShowsItsOwnCountLeqAndSel) {
  StartRecording(dir_.File("strip.dlgr"), 1);
  EXPECT_EQ(Text(*panel_, "LblRec"), "Rec.");  // no sample yet
  EXPECT_TRUE(Shown(*panel_, "LblRec"));
  meter_.model().SetLevel(60.0);
  Seconds(3);
  EXPECT_EQ(Text(*panel_, "LblRec"), "Rec");
  EXPECT_EQ(Text(*panel_, "LblCount"), "2");
  // Three seconds of 60 dB: Leq 60.0, SEL 60 + 10 log10(3) = 64.7.
  EXPECT_EQ(Text(*panel_, "LblLeq"), "Leq 60.0");
  EXPECT_EQ(Text(*panel_, "LblSEL"), "SEL 64.7");
}

TEST_F(PanelRecording, NewRowsMoveTheListOnByOneRowFromWhereTheUserLeftIt) {
  auto* grid = Find<QTableView>(*panel_, "GridN");
  panel_->show();
  Seconds(40);
  QCoreApplication::processEvents();
  QScrollBar* bar = grid->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 10);
  bar->setValue(5);  // the user reads older rows
  Seconds(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(bar->value(), 6);
  Seconds(2);
  QCoreApplication::processEvents();
  EXPECT_EQ(bar->value(), 8);
}

TEST_F(PanelRecording, UnwritableChosenFileIsRefusedAtOnce) {
  StartRecording(dir_.File("no-such-folder/rec.dlgr"));
  EXPECT_FALSE(recorder_.recording());
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Save As");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  const std::string& text = dialogs_.messages[0].text;
  EXPECT_TRUE(Contains(text, dir_.File("no-such-folder/rec.dlgr"))) << text;
  EXPECT_TRUE(Contains(text, "The recording did not start.")) << text;
  EXPECT_EQ(Label("LblRecordingState"), "Not recording");
}

TEST_F(PanelRecording, ClosingWhileRecordingAsksAndNoKeepsEverythingRunning) {
  const std::string path = dir_.File("asked.dlgr");
  StartRecording(path);
  Seconds(3);
  dialogs_.yes_no = {false};
  EXPECT_FALSE(panel_->close());
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(Contains(dialogs_.questions[0], path)) << dialogs_.questions[0];
  EXPECT_TRUE(recorder_.recording());
  EXPECT_TRUE(exit_codes_.empty());
  EXPECT_TRUE(panel_->timer2().isActive());
  Seconds(2);
  EXPECT_EQ(recorder_.record_count(), 4u);

  dialogs_.yes_no = {true};
  EXPECT_TRUE(panel_->close());
  EXPECT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
  EXPECT_EQ(OpenDataFile(path).list.size(), 4u);
}

// The strip shows the port, the recording and the last message without
// moving; a lost meter is a notice that names the file (its words are the
// core's), and so is its return.
TEST_F(PanelRecording, StatusStripAndNoticesFollowARecordingThroughALostMeter) {
  panel_->show();
  QCoreApplication::processEvents();
  auto* strip = Find<QWidget>(*panel_, "StatusStrip");
  EXPECT_EQ(Texts(*panel_, {"LblPortState", "LblRecordingState", "LblLastMessage"}),
            "COM1|Not recording|");
  const QRect port = Find<QLabel>(*panel_, "LblPortState")->geometry();
  const QRect rec = Find<QLabel>(*panel_, "LblRecordingState")->geometry();
  const QRect strip_at = strip->geometry();

  const std::string path = dir_.File("a-rather-long-name-for-a-recording.dlgr");
  StartRecording(path);
  Seconds(3);
  EXPECT_EQ(Label("LblRecordingState"),
            "Rec a-rather-long-name-for-a-recording.dlgr  2 samples  00:00:03");
  meter_.model().faults().silent = true;
  panel_->Timer1Tick();
  QCoreApplication::processEvents();
  EXPECT_EQ(Find<QLabel>(*panel_, "LblPortState")->geometry(), port);
  EXPECT_EQ(Find<QLabel>(*panel_, "LblRecordingState")->geometry(), rec);
  EXPECT_EQ(strip->geometry(), strip_at);
  EXPECT_TRUE(dialogs_.messages.empty());
  ASSERT_EQ(dialogs_.notices.size(), 1u);
  const std::string lost = dialogs_.notices[0].text;
  EXPECT_TRUE(Contains(lost, "\"" + path + "\"")) << lost;
  EXPECT_EQ(Label("LblPortState"), "No COM");
  EXPECT_EQ(Texts(*panel_, {"LblFigure4", "LblFigureValue4"}), "Leq today|--");  // starts again
  EXPECT_EQ(Label("LblLastMessage"), lost);
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Stop Recording");

  meter_.model().faults().silent = false;
  Seconds(3);
  ASSERT_EQ(dialogs_.notices.size(), 2u);
  EXPECT_TRUE(Contains(dialogs_.notices[1].text, "The meter is back on COM1"));
  EXPECT_EQ(Label("LblPortState"), "COM1");
  EXPECT_GT(recorder_.total_samples(), 2u);
  EXPECT_TRUE(dialogs_.messages.empty());
}

// The disk fills up under a panel recording: the recording ends and the
// panel says why, with the file that holds the samples.
TEST_F(PanelRecording, ARecordingTheDiskCannotHoldIsSaidToHaveEnded) {
  StartRecording(dir_.File("full.dlgr"));
  Seconds(2);
  {
    test::FileSizeLimit full_disk(test::ReadBytes(recorder_.fake_path()).size() + 10);
    Seconds(1);
  }
  EXPECT_FALSE(recorder_.recording());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kCritical);
  const std::string& said = dialogs_.messages[0].text;
  EXPECT_NE(said.find("\"" + recorder_.fake_path() + "\""), std::string::npos) << said;
  EXPECT_NE(said.find("The recording was ended."), std::string::npos) << said;
  // The status strip shows its first line.
  const std::string shown = Label("LblLastMessage");
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(said.rfind(shown, 0), 0u) << shown;
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Save As");
}

// While no meter answers, what needs it is disabled with the reason, and a
// meter that was never there is said to be not found rather than lost.
TEST_F(PanelTest, WithoutAMeterItsControlsSayWhyAndComeBackWithIt) {
  meter_.model().faults().silent = true;
  auto panel = OnlinePanel();
  panel->Timer1Tick();
  EXPECT_TRUE(Contains(Text(*panel, "LblLastMessage").toStdString(),
                       "No meter answers on COM1: it was not found"));
  for (QPushButton* key : panel->face->keys) {
    EXPECT_FALSE(key->isEnabled());
    EXPECT_TRUE(key->toolTip().startsWith("No meter answers on COM1"))
        << key->toolTip().toStdString();
  }
  EXPECT_FALSE(Action(*panel, "Memory")->isEnabled());
  EXPECT_TRUE(Action(*panel, "Open")->isEnabled());
  meter_.model().faults().silent = false;
  panel->Timer1Tick();
  for (QPushButton* key : panel->face->keys) EXPECT_TRUE(key->isEnabled());
  EXPECT_TRUE(Find<QPushButton>(*panel, "CmdL")->isEnabled());
  EXPECT_TRUE(Action(*panel, "Memory")->isEnabled());
  EXPECT_EQ(Action(*panel, "Memory")->toolTip(), "Data Logger");
}

}  // namespace
}  // namespace slm
