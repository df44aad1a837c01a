// The Assessment window over the core: its settings, the chart and the rows
// that choose each other, the stretches left out and their side files, and
// how the list windows and the panel's File menu open it.
#include "windows/assessment_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

#include "analysis/live_chart_data.h"
#include "base/calendar.h"
#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "files/exclusions_file.h"
#include "files/survey_file.h"
#include "support/sample_lists.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "support/temp_dir.h"
#include "windows/panel_windows.h"
#include "windows/survey_dialog.h"

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

  w->TxtPercentiles->setText("10, 200");
  Ready(*w);
  EXPECT_NE(w->LblNote->text().indexOf("cannot be used"), -1) << w->LblNote->text().toStdString();
  EXPECT_EQ(w->figures()->settings.percentiles, (std::vector<int>{1, 5, 10, 50, 90, 95, 99}));
  EXPECT_EQ(Rows(w->TblIntervals), 8u);
}

TEST_F(AssessmentWindowTest, ARowZoomsTheChartAndAClickOnTheChartChoosesTheRows) {
  auto w = Open(TwoHours(), "");
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
  // And so does a stretch left out.
  dialogs_.answers.push_back("works");
  w->ExcludeStretch({At("2024/05/01 11:00:00"), At("2024/05/01 11:10:00")});
  w->TblExclusions->selectRow(0);
  EXPECT_DOUBLE_EQ(w->Chart->XRange().min, At("2024/05/01 11:00:00") - 60.0);
  EXPECT_DOUBLE_EQ(w->Chart->XRange().max, At("2024/05/01 11:10:00") + 60.0);
}

// Two weeks side by side, the same file twice told apart; each closes on its own.
TEST_F(AssessmentWindowTest, SeveralWindowsOpenAndEachClosesOnItsOwn) {
  const std::string day1 = Save("day1.dlgr", TwoHours());
  const std::string day2 = Save("day2.dlgr", TwoHours("2024/05/08 10:00:00"));
  dialogs_.file_sets = {{day1}, {day2}, {day1}};
  for (int i = 0; i < 3; ++i) Windows().AssessFiles();
  const std::vector<AssessmentWindow*> open = Windows().assessments();
  ASSERT_EQ(open.size(), 3u);
  EXPECT_EQ(open[1]->windowTitle(), "Assessment - day2.dlgr");
  EXPECT_EQ(open[2]->windowTitle(), "Assessment - day1.dlgr (2)");
  const QPointer<AssessmentWindow> first = open[0];
  open[0]->close();
  ASSERT_TRUE(QTest::qWaitFor([&first] { return first.isNull(); }));
  EXPECT_EQ(Windows().assessments(), (std::vector<AssessmentWindow*>{open[1], open[2]}));
  open[1]->TxtThreshold->setText("55");
  Ready(*open[1]);
  EXPECT_EQ(open[1]->figures()->assessment.events.size(), 2u);
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
}

// Each of the seven buttons does its own job when clicked; the same stretch
// left out twice is kept once.
TEST_F(AssessmentWindowTest, EachButtonDoesItsJob) {
  const std::string path = Save("day1.dlgr", TwoHours());
  const RecordList list = TwoHours();
  auto w = Open(list, path);
  const Exclusion hour{At("2024/05/01 11:00:00"), At("2024/05/01 12:00:00"), "works"};
  auto kept = [&path] { return ReadExclusions(ExclusionsPathFor(path)); };
  auto counted = [&w] { return w->figures()->assessment.total.count; };
  auto starts = [this](const char* file, const char* head) {
    return [this, file, head] { return test::ReadBytes(dir_.File(file)).rfind(head, 0) == 0; };
  };
  dialogs_.yes_no = {true};  // "Remove" asks first
  // Each button with the row chosen first, the text typed and the file named in its dialog.
  const struct {
    QPushButton* button;
    QTableView* table;
    int row;
    const char* answer;
    const char* file;
    std::function<bool()> done;
  } cases[] = {
      {w->CmdExclude, w->TblIntervals, 1, "works", nullptr,
       [&] { return kept() == std::vector{hour} && counted() == 3600; }},
      // Choosing the row zoomed the chart to it.
      {w->CmdWhole, nullptr, 0, nullptr, nullptr,
       [&] {
         return w->Chart->XRange().min == hour.from - 3600 && w->Chart->XRange().max == hour.to;
       }},
      {w->CmdReason, w->TblExclusions, 0, "road works", nullptr,
       [&] { return kept().at(0).reason == "road works"; }},
      {w->CmdExport, nullptr, 0, nullptr, "hours", starts("hours.csv", "start,count,coverage,")},
      {w->CmdSaveChart, nullptr, 0, nullptr, "chart", starts("chart.png", "\x89PNG")},
      {w->CmdReport, nullptr, 0, nullptr, "report.pdf", starts("report.pdf", "%PDF")},
      {w->CmdRemove, w->TblExclusions, 0, nullptr, nullptr,
       [&] { return kept().empty() && counted() == 7200; }},
  };
  for (const auto& c : cases) {
    if (c.table != nullptr) c.table->selectRow(c.row);
    if (c.answer != nullptr) dialogs_.answers = {c.answer};
    if (c.file != nullptr) dialogs_.files.push_back({dir_.File(c.file), 1});
    c.button->click();
    Ready(*w);
    EXPECT_TRUE(c.done()) << c.button->objectName().toStdString();
  }
  EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages[0].text;
  EXPECT_EQ(dialogs_.notices.size(), 3u);
  // The same stretch dragged across twice is kept once, with its first reason.
  dialogs_.answers = {"siren", "again"};
  for (int i = 0; i < 2; ++i) w->Chart->on_stretch_dragged(hour.from, hour.to);
  EXPECT_EQ(kept(), (std::vector<Exclusion>{{hour.from, hour.to, "siren"}}));
}

// "Survey..." (Alt+U) opens the survey's description over the window: Esc
// leaves it as it was, OK writes it beside the first file.
TEST_F(AssessmentWindowTest, TheSurveyIsEditedInADialogAndKeptBesideTheFirstFile) {
  const std::string path = Save("day1.dlgr", TwoHours());
  auto w = Open(TwoHours(), path);
  w->show();
  const auto dialog = [&w] { return w->findChild<SurveyDialog*>(); };
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_U, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog() != nullptr && dialog()->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog()));
    EXPECT_TRUE(dialog()->isModal());
    QTest::keyClicks(dialog()->lines[0], "Mill Lane 4");
    dialog()->TxtRemarks->setPlainText("Rain from 14:00.\nA dog barked.");
    QTest::keyClick(dialog()->lines[0], key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog() == nullptr; }));
  }
  EXPECT_EQ(test::ReadBytes(SurveyPathFor(path)),
            "Site: Mill Lane 4\nRemarks: Rain from 14:00.\n  A dog barked.\n");
  EXPECT_TRUE(dialogs_.messages.empty());

  // Each field has a letter of its own, apart from the buttons' (O and C where they take them).
  w->EditSurvey();
  std::set<QChar> letters;
  for (const QWidget* control : dialog()->findChildren<QWidget*>()) {
    const auto* label = qobject_cast<const QLabel*>(control);
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    const QString text = label ? label->text() : button ? button->text() : QString();
    if (const qsizetype amp = text.indexOf('&'); amp >= 0) {
      EXPECT_TRUE(letters.insert(text[amp + 1].toLower()).second) << text.toStdString();
    }
  }
  EXPECT_GE(letters.size(), kSurveyFields.size());
}

TEST_F(AssessmentWindowTest, ASideFileThatCannotBeReadIsSaid) {
  const std::string path = Save("day1.dlgr", TwoHours());
  const std::string side = ExclusionsPathFor(path);
  test::WriteBytes(side, "2024/05/01 10:00:00..soon\n");
  auto w = Open(TwoHours(), path);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(side), std::string::npos);
  w->ExcludeStretch({At("2024/05/01 10:00:00"), At("2024/05/01 10:01:00")});
  Ready(*w);
  EXPECT_EQ(w->figures()->assessment.excluded, 60);
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
}

// The tables show the core's figures as people read them (worked out by
// hand in the core's tests).
TEST_F(AssessmentWindowTest, TheTablesShowTheFiguresOfTheCore) {
  const RecordList list = test::ListOf({"70.0", "--", "L", "80.0"}, "2024/05/01 10:00:40", 10);
  auto w = Open(list, "");
  w->CmbInterval->setCurrentIndex(0);  // 1 min
  Ready(*w);
  auto row = [](QTableView* table, int r) {
    QStringList cells;
    for (int c = 0; c < table->model()->columnCount(); ++c) {
      cells << table->model()->index(r, c).data().toString();
    }
    return cells.join('|').toStdString();
  };
  EXPECT_EQ(row(w->TblTotals, 9), "Leq|139.0 dB under+over");
  EXPECT_EQ(row(w->TblIntervals, 1),
            "2024/05/01 10:01:00|2|33.3|0|1|142.0 over|145.0 over|2024/05/01 10:01:00|80.0|"
            "155.0 over|145.0 over|145.0 over|145.0 over|80.0|80.0|80.0|80.0|");
  EXPECT_EQ(row(w->TblDays, 0), "2024/05/01|low cover|0.1|missing|0.0|missing|0.0|missing");
}

// Tab reaches every control and leaves each table for the next; each button
// has a letter of its own for Alt.
TEST_F(AssessmentWindowTest, TabReachesEveryControlAndNoTwoShareAMnemonic) {
  auto w = Open(TwoHours(), "");
  w->show();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  w->CmbInterval->setFocus();
  std::set<QWidget*> seen;
  QWidget* at = w->CmbInterval;
  for (int i = 0; i < 40 && (i == 0 || at != w->CmbInterval); ++i) {
    QTest::keyClick(at, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), at) << at->objectName().toStdString();
    at = QApplication::focusWidget();
    seen.insert(at);
  }
  EXPECT_EQ(at, w->CmbInterval);
  // Every control on show that Tab may reach (a spin box's text and a tab widget pass the
  // focus on to the box and the tabs): the settings, the chart, the tables, the buttons.
  for (QWidget* c : w->findChildren<QWidget*>()) {
    if (c->isVisible() && (c->focusPolicy() & Qt::TabFocus) && c->focusProxy() == nullptr &&
        qobject_cast<QTabWidget*>(c) == nullptr) {
      EXPECT_TRUE(seen.count(c)) << c->metaObject()->className() << " "
                                 << c->objectName().toStdString();
    }
  }
  EXPECT_TRUE(seen.count(w->CmdReport) && seen.count(w->TblTotals) &&
              seen.count(w->Tabs->tabBar()));

  std::set<QChar> letters;
  for (const QWidget* control : w->findChildren<QWidget*>()) {
    const auto* label = qobject_cast<const QLabel*>(control);
    const auto* button = qobject_cast<const QPushButton*>(control);
    const QString text = label ? label->text() : button ? button->text() : QString();
    const qsizetype amp = text.indexOf('&');
    EXPECT_TRUE(button == nullptr || amp >= 0) << text.toStdString();
    if (amp >= 0) {
      EXPECT_TRUE(letters.insert(text[amp + 1].toLower()).second) << text.toStdString();
    }
  }
}

// Esc on an open drop-down closes the list only; the settings are there
// again the next time the window opens.
TEST_F(AssessmentWindowTest, EscClosesOnlyAnOpenListAndTheSettingsAreKeptForNextTime) {
  auto w = Open(TwoHours(), "");
  w->show();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  // Each setting away from its first value.
  w->CmbInterval->setCurrentIndex(2);  // 15 min
  w->CmbRolling->setCurrentIndex(1);
  for (QSpinBox* box : {w->SpnDay, w->SpnEvening, w->SpnNight, w->SpnMinDuration, w->SpnHold}) {
    box->setValue(box->value() ^ 1);  // 6, 18, 22, 1 and 1
  }
  w->TxtPercentiles->setText("5, 95");
  w->TxtThreshold->setText("70");
  Ready(*w);
  const AssessmentSettings kept = w->figures()->settings;
  for (QComboBox* box : {w->CmbInterval, w->CmbRolling}) {
    box->showPopup();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(w->isVisible()) << box->objectName().toStdString();
  }
  QTest::keyClick(w->CmbInterval, Qt::Key_Escape);  // no list open: the window closes
  EXPECT_FALSE(w->isVisible());
  w.reset();
  auto again = Open(TwoHours(), "");
  EXPECT_EQ(again->CmbInterval->currentText(), "15 min");
  const AssessmentSettings& s = again->figures()->settings;
  EXPECT_EQ(std::tie(s.interval, s.part_starts, s.percentiles, s.threshold, s.min_duration, s.hold,
                     s.rolling),
            std::tie(kept.interval, kept.part_starts, kept.percentiles, kept.threshold,
                     kept.min_duration, kept.hold, kept.rolling));
  EXPECT_EQ(s.interval, 900);
}

// A screen reader reads what a label says now, never a fixed name in its place.
TEST_F(AssessmentWindowTest, LabelsExposeTheirTextToAScreenReader) {
  auto w = Open(TwoHours(), "");
  Plot plot(dialogs_, printing_);
  plot.track->Choose(1);
  for (QWidget* window : std::initializer_list<QWidget*>{w.get(), &plot}) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name),
                QString(label->text()).remove('&'))
          << label->objectName().toStdString();
    }
  }
  // Every control of the Assessment window that Tab reaches has a name to be read.
  for (QWidget* c : w->findChildren<QWidget*>()) {
    if ((c->focusPolicy() & Qt::TabFocus) && c->focusProxy() == nullptr) {
      EXPECT_FALSE(QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name).isEmpty())
          << c->metaObject()->className() << " " << c->objectName().toStdString();
    }
  }
}

}  // namespace
}  // namespace slm
