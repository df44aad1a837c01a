#include "windows/list_report_printer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "analysis/list_report.h"
#include "support/file_size_limit.h"
#include "support/pdf_pages.h"
#include "support/sample_lists.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "support/temp_dir.h"
#include "windows/time_plot_window.h"

namespace slm {
namespace {

using test::ScriptedDialogs;
using test::ScriptedPrinting;
using test::TempDir;

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
    if (!c.pdf.empty()) EXPECT_TRUE(test::ReadBytes(c.pdf).empty());
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
