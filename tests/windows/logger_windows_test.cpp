// The data logger from the panel's toolbar, on the simulated meter.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QRegularExpression>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/data_file_reader.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

constexpr const char* kSetSeven =
    "7;2024/05/01 10:00:00;1;C;SLOW;40-100;61.0 62.0 63.0 64.0 65.0 66.0 67.0\n";
constexpr const char* kSet300 = "300;2024/06/02 11:30:00;1;A;FAST;30-90;";
const std::string kTwoSets = kSetSeven + std::string(kSet300) + "70.0 71.0\n";

// `count` levels for a set: "70.1" each, or from 50.5 up by 1 dB.
std::string Levels(int count, bool rising = false) {
  std::string levels;
  for (int i = 0; i < count; ++i) levels += (rising ? std::to_string(50 + i) + ".5" : "70.1") + " ";
  return levels + "\n";
}

// An online panel over a meter that holds `kTwoSets`.
class LoggerTest : public PanelTest {
 protected:
  void SetUp() override {
    GiveSets(kTwoSets);
    panel_ = OnlinePanel();
  }
  void GiveSets(const std::string& text) {
    meter_.model().SetSets(sim::MeterModel::ParseSets(text));
  }
  int CountWrites(const std::string& bytes) {
    return static_cast<int>(std::count(meter_.writes().begin(), meter_.writes().end(), bytes));
  }
  bool Received(const std::string& command) {
    const auto& commands = meter_.model().received_commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
  }
  QStringList EraseEntries() {
    QStringList entries;
    for (int i = 0; i < panel_->logger().combo()->count(); ++i)
      entries << panel_->logger().combo()->itemText(i);
    return entries;
  }
  bool TimersRunning() { return panel_->timer1().isActive() && panel_->timer2().isActive(); }
  std::string LastMessage() { return Text(*panel_, "LblLastMessage").toStdString(); }
  void ChooseSampling(QRadioButton* SamplingChoice::*option) {
    panel_->ToolbarClicked("Sampling");
    SamplingChoice* choice = panel_->logger().sampling_choice();
    ASSERT_NE(choice, nullptr);
    (choice->*option)->setChecked(true);
    choice->CmdOK->click();
  }
  std::unique_ptr<Panel> panel_;
};

// The sets, and the sizes of a 2.0 MB memory that a set of 1400 records
// (0.054 MB) takes from; the download of the set at position 2 (the meter's
// set 300), which the Memory window says is done.
TEST_F(LoggerTest, MemoryListsTheSets) {
  meter_.model().SetMemorySize(2000);
  GiveSets(kSetSeven + std::string(kSet300) + Levels(1400));
  panel_->ToolbarClicked("Memory");

  ASSERT_TRUE(panel_->logger().MemoryWindowOpen());
  MemoryWindow* memory = panel_->logger().memory_window();
  EXPECT_EQ(memory->windowTitle(), "Data Logger");
  std::vector<std::string> rows;
  for (int row = 0; row < memory->GridSet->rowCount(); ++row) {
    rows.push_back(memory->GridSet->item(row, 0)->text().toStdString() + "|" +
                   memory->GridSet->item(row, 1)->text().toStdString() + "|" +
                   memory->GridSet->item(row, 2)->text().toStdString());
  }
  EXPECT_EQ(rows,
            (std::vector<std::string>{"1|2024/05/01  10:00:00|7", "2|2024/06/02  11:30:00|1400"}));
  EXPECT_EQ(memory->EraseSetNumbers, (std::vector<std::uint16_t>{7, 300}));
  EXPECT_EQ(memory->LblSize->text(), "2.0");
  EXPECT_EQ(memory->LblRemain->text(), "1.9");
  EXPECT_TRUE(TimersRunning());
  // A second click while it is open reads nothing.
  panel_->ToolbarClicked("Memory");
  EXPECT_EQ(CountWrites("N"), 1);

  memory->RowClicked(1);
  ASSERT_NE(panel_->logger().data_list(), nullptr);
  EXPECT_EQ(panel_->logger().data_list()->windowTitle(), "Data List - Set 2");
  EXPECT_EQ(panel_->logger().data_list()->list().size(), 1400u);
  EXPECT_EQ(memory->Process_lbl->text(), "100.0% Completed");
}

TEST_F(LoggerTest, EmptyMemoryIsSaidByMemoryAndErase) {
  GiveSets("");
  panel_->ToolbarClicked("Memory");
  EXPECT_FALSE(panel_->logger().MemoryWindowOpen());
  panel_->ToolbarClicked("Erase");  // the picker offers only "Exit"
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  for (const auto& said : dialogs_.messages) EXPECT_EQ(said.text, "No Data in Memory");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(EraseEntries(), QStringList{"Exit"});
}

TEST_F(LoggerTest, MemoryWhileTheMeterRunsReadsNothingAndSaysWhy) {
  meter_.model().SetRun(true);
  panel_->Timer1Tick();
  panel_->ToolbarClicked("Memory");
  EXPECT_EQ(CountWrites("N"), 0);
  EXPECT_FALSE(panel_->logger().MemoryWindowOpen());
  // Said without holding up the panel, and in the status strip.
  ASSERT_EQ(dialogs_.notices.size(), 1u);
  EXPECT_EQ(dialogs_.notices[0].text, kStopTheMeterFirst);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(LastMessage(), kStopTheMeterFirst);
  // The next command does not leave it standing.
  panel_->ToolbarClicked("Refresh");
  EXPECT_EQ(LastMessage(), "");
}

TEST_F(LoggerTest, RowClickDownloadsEveryThirdRecordAfterIntervalThree) {
  dialogs_.answers = {"3"};
  ChooseSampling(&SamplingChoice::MDLIT_opt);
  EXPECT_EQ(panel_->logger().interval(), 3);

  panel_->ToolbarClicked("Memory");
  panel_->logger().memory_window()->RowClicked(0);

  DataList* list = panel_->logger().data_list();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->BoardCA->text() + list->BoardSFI->text(), "CSLOW");
  EXPECT_TRUE(list->BoardLevel->text().contains("40-100"));
  ASSERT_EQ(list->list().size(), 3u);
  EXPECT_DOUBLE_EQ(std::stod(std::string(list->list().level(1))), 64.0);
  EXPECT_FALSE(list->windowTitle().contains("incomplete"));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_FALSE(panel_->logger().memory_window()->locked());
  EXPECT_TRUE(TimersRunning());
}

TEST_F(LoggerTest, CutDownloadListsWhatArrivedAndSaysSo) {
  GiveSets("5;2024/05/01 09:00:00;1;A;FAST;30-90;" + Levels(20, true));
  panel_->ToolbarClicked("Memory");
  meter_.model().faults().short_replies = true;
  panel_->logger().memory_window()->RowClicked(0);

  DataList* list = panel_->logger().data_list();
  ASSERT_NE(list, nullptr);
  const std::size_t rows = list->list().size();
  EXPECT_GT(rows, 0u);
  EXPECT_LT(rows, 20u);
  // None of the live frames that come after the cut is listed as a record.
  for (std::size_t i = 0; i < rows; ++i) {
    EXPECT_EQ(list->list().level(i), std::string("0") + std::to_string(50 + i) + ".5") << i;
  }
  const std::string listed = std::to_string(rows) + " of 20 records";
  EXPECT_TRUE(list->windowTitle().toStdString().find(listed) != std::string::npos)
      << list->windowTitle().toStdString();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(listed), std::string::npos);
  EXPECT_TRUE(TimersRunning());
}

// Nothing goes before the user has seen what goes; afterwards the panel
// says what was erased, also in its status strip.
TEST_F(LoggerTest, EraseAsksFirstAndSaysWhatWasErased) {
  panel_->ToolbarClicked("Erase");
  panel_->ToolbarClicked("Erase");  // twice: the same entries
  EXPECT_EQ(EraseEntries(), (QStringList{"Exit", "All", "1", "2"}));
  // While the picker is up, "Memory" does nothing.
  const int reads = CountWrites("N");
  panel_->ToolbarClicked("Memory");
  EXPECT_EQ(CountWrites("N"), reads);
  panel_->logger().EraseChosen(2);  // "1", and the default answer
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_EQ(dialogs_.questions[0],
            "Erase set 7 (position 1, started 2024/05/01  10:00:00, 7 records)?\n"
            "Its records will be gone from the meter.");
  EXPECT_FALSE(Received(std::string("P\x07\x00", 3)));
  EXPECT_EQ(meter_.model().sets().size(), 2u);
  // Set 7 was logged anew while the picker was up: not the set chosen.
  panel_->ToolbarClicked("Erase");
  GiveSets("7;2024/07/01 08:00:00;1;C;SLOW;40-100;61.0\n");
  dialogs_.yes_no = {true};
  panel_->logger().EraseChosen(2);
  EXPECT_FALSE(Received(std::string("P\x07\x00", 3)));
  EXPECT_EQ(LastMessage(),
            "Set 7 (started 2024/05/01  10:00:00) is no longer in the meter's memory: nothing "
            "was erased.");
  GiveSets(kTwoSets);

  panel_->ToolbarClicked("Erase");
  dialogs_.yes_no = {true};
  panel_->logger().EraseChosen(2);
  EXPECT_FALSE(Shown(*panel_, "PicErase"));
  EXPECT_TRUE(Received(std::string("P\x07\x00", 3)));
  ASSERT_EQ(meter_.model().sets().size(), 1u);
  EXPECT_EQ(meter_.model().sets()[0].number, 300);
  EXPECT_TRUE(TimersRunning());
  const std::string erased = "Erased set 7 (position 1, started 2024/05/01  10:00:00, 7 records).";
  EXPECT_EQ(LastMessage(), erased);

  panel_->ToolbarClicked("Erase");
  panel_->logger().EraseChosen(0);  // "Exit" asks nothing
  EXPECT_EQ(dialogs_.questions.size(), 3u);
  panel_->ToolbarClicked("Erase");
  dialogs_.yes_no = {true};
  panel_->logger().EraseChosen(1);  // "All"
  EXPECT_EQ(dialogs_.questions.back(),
            "Erase the 1 set in the meter's memory?\nIts records will be gone from the meter.");
  EXPECT_TRUE(meter_.model().sets().empty());
  EXPECT_EQ(dialogs_.notices.back().text, "Erased the 1 set.");
}

// A click while the directory is read waits for nothing and starts nothing:
// a second read inside the first would flush its bytes away.
TEST_F(LoggerTest, AClickDuringAnExchangeStartsNoOtherExchange) {
  meter_.At(0.01, [&] {
    panel_->ToolbarClicked("Memory");
    panel_->ToolbarClicked("Erase");
  });
  panel_->ToolbarClicked("Memory");
  EXPECT_EQ(CountWrites("N"), 1);
  ASSERT_TRUE(panel_->logger().MemoryWindowOpen());
  EXPECT_EQ(panel_->logger().memory_window()->EraseSetNumbers,
            (std::vector<std::uint16_t>{7, 300}));
  EXPECT_FALSE(Shown(*panel_, "PicErase"));
  EXPECT_TRUE(dialogs_.messages.empty());
}

// A stop signal ends a download at once; the records that arrived whole are
// kept in a file of their own, marked as a part of the set.
TEST_F(LoggerTest, AStopSignalEndsADownloadAtOnceAndKeepsWhatArrived) {
  GiveSets("4;2024/05/01 09:00:00;1;A;FAST;30-90;" + Levels(3000));
  panel_->ToolbarClicked("Memory");
  double signalled = -1;
  meter_.At(2.0, [&] {
    signalled = meter_.elapsed();
    panel_->CloseForSignal();
  });
  panel_->logger().memory_window()->RowClicked(0);
  ASSERT_GE(signalled, 0);
  EXPECT_LT(meter_.elapsed() - signalled, 0.1);
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
  EXPECT_EQ(panel_->logger().data_list(), nullptr);
  std::vector<std::filesystem::path> kept;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    if (entry.path().string().ends_with("-incomplete.dlgr")) kept.push_back(entry.path());
  }
  ASSERT_EQ(kept.size(), 1u);
  const DataFile file = OpenDataFile(kept[0].string());
  EXPECT_GT(file.list.size(), 100u);
  EXPECT_EQ(file.list.header().note,
            "incomplete: " + std::to_string(file.list.size()) + " of 3000 records");
}

// PC sampling asks again until a number and keeps it on Cancel; the meter's
// is pulled into its range; closing the choice without OK does nothing.
TEST_F(LoggerTest, SamplingChoices) {
  dialogs_.answers = {"ten", "2.6", "", "300", "7"};
  ChooseSampling(&SamplingChoice::OptPC);
  EXPECT_EQ(recorder_.period(), 3);
  ASSERT_EQ(dialogs_.messages.size(), 1u);  // says why "ten" was asked again
  EXPECT_EQ(dialogs_.messages[0].text,
            "\"ten\" is not a number of seconds: type a whole number from 1 to 86400.");
  ChooseSampling(&SamplingChoice::OptPC);
  EXPECT_EQ(recorder_.period(), 3);
  ChooseSampling(&SamplingChoice::OptMeter);
  EXPECT_TRUE(Received(std::string("C\x00\xff", 3)));
  EXPECT_EQ(dialogs_.prompts.size(), 4u);
  panel_->ToolbarClicked("Sampling");
  panel_->logger().sampling_choice()->close();
  EXPECT_EQ(dialogs_.prompts.size(), 4u);
  EXPECT_EQ(panel_->logger().interval(), 1);
  EXPECT_TRUE(TimersRunning());
}

TEST_F(LoggerTest, SetupTalksToTheMeterOnlyWhenAsked) {
  meter_.model().SetClock({2023, 3, 4, 5, 6, 7}, meter_.elapsed());
  panel_->ToolbarClicked("RTC");
  SetupWindow* setup = panel_->logger().setup_window();
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(setup->windowTitle(), "Setup");
  EXPECT_TRUE(setup->Timer1->isActive());
  const std::size_t writes = meter_.writes().size();
  setup->Tick();
  setup->LblPCTimeClicked();
  setup->Tick();
  EXPECT_EQ(meter_.writes().size(), writes);
  EXPECT_TRUE(QRegularExpression("^PC System Time: \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                  .match(setup->LblPCTime->text())
                  .hasMatch())
      << setup->LblPCTime->text().toStdString();

  setup->LblMeterTimeClicked();
  setup->Tick();
  EXPECT_TRUE(setup->LblMeterTime->text().startsWith("Meter Time: 2023/03/04 05:06:"))
      << setup->LblMeterTime->text().toStdString();
  EXPECT_FALSE(panel_->timer1().isActive());
  EXPECT_FALSE(panel_->timer2().isActive());

  setup->CmdSetTime->click();
  const auto& commands = meter_.model().received_commands();
  EXPECT_TRUE(std::any_of(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.size() == 7 && c[0] == 'B'; }));

  setup->close();
  EXPECT_FALSE(setup->Timer1->isActive());
  EXPECT_TRUE(TimersRunning());
}

TEST_F(LoggerTest, SilentMeterIsSaidAndTimersRunAgain) {
  panel_->ToolbarClicked("Memory");
  meter_.model().faults().silent = true;
  panel_->logger().memory_window()->RowClicked(1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(panel_->logger().data_list(), nullptr);
  EXPECT_FALSE(panel_->logger().memory_window()->locked());
  EXPECT_TRUE(TimersRunning());
  panel_->logger().memory_window()->close();
  dialogs_.messages.clear();

  panel_->ToolbarClicked("Memory");
  EXPECT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_FALSE(panel_->logger().MemoryWindowOpen());
  EXPECT_TRUE(TimersRunning());

  panel_->ToolbarClicked("Erase");
  EXPECT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_FALSE(Shown(*panel_, "PicErase"));
  EXPECT_TRUE(TimersRunning());
  for (const auto& shown : dialogs_.messages) EXPECT_FALSE(shown.text.empty());
}

}  // namespace
}  // namespace slm
