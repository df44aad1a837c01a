// The Assessment window's commands: the stretches left out, the rows that
// move the chart and the chart that chooses rows, and the exports.
#include <QFileInfo>
#include <QItemSelectionModel>
#include <filesystem>

#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "files/file_io.h"
#include "graph/assessment_report.h"
#include "qt/widget_text.h"
#include "ui/qt_dialogs.h"
#include "windows/assessment_window.h"
#include "windows/survey_dialog.h"

namespace slm {

namespace {

constexpr const char* kCsvFilter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|";
constexpr const char* kChartFilter =
    "PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg|PDF Document (*.pdf)|*.pdf|";
constexpr const char* kReportFilter = "PDF Document (*.pdf)|*.pdf|";

std::optional<std::size_t> SelectedRow(const QTableView* table) {
  const QModelIndexList rows = table->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<std::size_t>(rows.front().row());
}

// `path` with the extension of the filter chosen when it has none of its own.
std::string WithExtension(std::string path, const char* extension) {
  if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) path += extension;
  return path;
}

std::string StretchText(Stretch s) { return ClockText(s.from) + " to " + ClockText(s.to); }

}  // namespace

void AssessmentWindow::ExcludeStretch(Stretch stretch) {
  const std::optional<std::string> reason = dialogs_.InputOrCancel(
      "Leave out " + StretchText(stretch) + ".\nReason (may be left empty):", "Exclude", "");
  if (!reason) return;
  SideFileProblem(document_->Add({stretch.from, stretch.to, *reason}));
  ShowExclusions();
  Recompute();
}

void AssessmentWindow::ExcludeSelected() {
  if (!figures_) return;
  const Assessment& a = figures_->assessment;
  std::optional<Stretch> stretch;
  if (Tabs->currentWidget() == TblEvents) {
    if (const auto row = SelectedRow(TblEvents)) stretch = EventStretch(a, *row);
  } else if (const auto row = SelectedRow(TblIntervals)) {
    stretch = IntervalStretch(a, figures_->settings.interval, *row);
  }
  if (!stretch) {
    dialogs_.Message("Select an interval or an event to leave out first.",
                     MessageIcon::kInformation);
    return;
  }
  ExcludeStretch(*stretch);
}

std::optional<std::size_t> AssessmentWindow::ChosenExclusion() {
  const std::optional<std::size_t> row = SelectedRow(TblExclusions);
  if (row && *row < document_->exclusions().size()) return row;
  Tabs->setCurrentWidget(TblExclusions);
  dialogs_.Message("Select a stretch in \"Exclusions\" first.", MessageIcon::kInformation);
  return std::nullopt;
}

void AssessmentWindow::EditReason() {
  const std::optional<std::size_t> row = ChosenExclusion();
  if (!row) return;
  const Exclusion& e = document_->exclusions()[*row];
  const std::optional<std::string> reason = dialogs_.InputOrCancel(
      "Reason for leaving out " + StretchText({e.from, e.to}) + ":", "Reason", e.reason);
  if (!reason) return;
  SideFileProblem(document_->SetReason(*row, *reason));
  ShowExclusions();
  Recompute();
}

void AssessmentWindow::RemoveExclusion() {
  const std::optional<std::size_t> row = ChosenExclusion();
  if (!row) return;
  const Exclusion& e = document_->exclusions()[*row];
  if (!dialogs_.Ask("Count the records from " + StretchText({e.from, e.to}) + " again?",
                    "Remove")) {
    return;
  }
  SideFileProblem(document_->Remove(*row));
  ShowExclusions();
  Recompute();
}

void AssessmentWindow::SideFileProblem(const std::string& problem) {
  if (problem.empty()) return;
  const std::string note = "The side files could not all be read or written: " + problem +
                           " The stretches left out hold in this window; the data files are "
                           "unchanged.";
  // Said once in a box; the note below the tables keeps saying it.
  if (note == standing_note_) return;
  standing_note_ = note;
  Note({});
  dialogs_.Message(problem +
                       "\nThe stretches left out hold in this window; the data files are "
                       "unchanged.",
                   MessageIcon::kCritical);
}

void AssessmentWindow::TellPartlyRead(const std::vector<std::string>& notes) {
  if (notes.empty()) return;
  std::string text = "The figures are those of the records read:";
  for (const std::string& note : notes) text += "\n" + note;
  standing_note_ += (standing_note_.empty() ? "" : "\n") + text;
  Note({});
  dialogs_.Message(text, MessageIcon::kExclamation);
}

void AssessmentWindow::RowChosen(QTableView* table) {
  if (from_chart_ || !figures_) return;
  const std::optional<std::size_t> row = SelectedRow(table);
  if (!row) return;
  const Assessment& a = figures_->assessment;
  if (table == TblExclusions) {
    if (*row >= document_->exclusions().size()) return;
    const Exclusion& e = document_->exclusions()[*row];
    Zoom({e.from, e.to});
  } else {
    Zoom(table == TblEvents ? EventStretch(a, *row)
                            : IntervalStretch(a, figures_->settings.interval, *row));
  }
}

void AssessmentWindow::Zoom(Stretch stretch) {
  // A little on either side, so that the stretch is seen in its setting.
  const double margin = static_cast<double>(stretch.to - stretch.from) * 0.1;
  Chart->SetXRange(static_cast<double>(stretch.from) - margin,
                   static_cast<double>(stretch.to) + margin);
}

void AssessmentWindow::ChartClicked(double x) {
  if (!figures_) return;
  const Assessment& a = figures_->assessment;
  from_chart_ = true;
  for (auto [table, row] : {std::pair{TblIntervals, IntervalAt(a, figures_->settings.interval, x)},
                            std::pair{TblEvents, EventAt(a, x)}}) {
    if (!row) {
      table->clearSelection();
      continue;
    }
    table->selectRow(static_cast<int>(*row));
    table->scrollTo(table->model()->index(static_cast<int>(*row), 0));
  }
  from_chart_ = false;
}

void AssessmentWindow::ExportTable() {
  auto* table = static_cast<QTableView*>(Tabs->currentWidget());
  const FigureTable& shown = static_cast<TextTableModel*>(table->model())->table();
  const FileChoice choice = dialogs_.SaveFile(kCsvFilter);
  if (!choice.chosen()) return;
  const std::string path = WithExtension(choice.path, ".csv");
  try {
    WriteWholeFile(path, TableCsv(shown));
  } catch (const DataFileError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  }
  dialogs_.Notice("The " + table->accessibleName().toLower().toStdString() +
                      " table was written to " + path + ".",
                  MessageIcon::kInformation);
}

void AssessmentWindow::SaveChart() {
  const FileChoice choice = dialogs_.SaveFile(kChartFilter);
  if (!choice.chosen()) return;
  const char* const extensions[] = {".png", ".svg", ".pdf"};
  const std::string path =
      WithExtension(choice.path, extensions[std::clamp(choice.filter_index, 1, 3) - 1]);
  try {
    BusyCursor busy;
    Chart->SaveImage(path, 1600, 800);
  } catch (const DataFileError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  }
  dialogs_.Notice("The chart was written to " + path + ".", MessageIcon::kInformation);
}

void AssessmentWindow::WriteReport() {
  if (!figures_ || computing()) {
    dialogs_.Message("The figures are still being worked out; try again in a moment.",
                     MessageIcon::kInformation);
    return;
  }
  // Hundreds of events would fill pages: unless asked, the report counts
  // them and lists the loudest.
  const std::size_t events = figures_->assessment.events.size();
  const bool all_events =
      events > 10 && dialogs_.Ask("List all " + std::to_string(events) +
                                      " events in the report?\nNo gives their counts by day and by "
                                      "hour and the ten loudest.",
                                  "Report");
  const FileChoice choice = dialogs_.SaveFile(kReportFilter);
  if (!choice.chosen()) return;
  const std::string path = WithExtension(choice.path, ".pdf");
  for (const AssessedFile& file : document_->files()) {
    // Writing the report over a file it was made from would lose the measurement.
    std::error_code ignored;
    if (std::filesystem::equivalent(path, file.path, ignored)) {
      dialogs_.Message(path + " is one of the files assessed; choose another name.",
                       MessageIcon::kCritical);
      return;
    }
  }
  try {
    BusyCursor busy;
    AssessmentReportContent content{document_->files(), document_->levels().get(),
                                    &figures_->settings, &figures_->assessment, document_->lists()};
    content.survey = survey_.survey();
    content.all_events = all_events;
    WriteAssessmentReport(path, content);
  } catch (const DataFileError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  }
  dialogs_.Notice("The report was written to " + path + ".", MessageIcon::kInformation);
}

void AssessmentWindow::EditSurvey() {
  // Window-modal and not waited for: the figures go on being worked out.
  auto* dialog = new SurveyDialog(survey_.survey(), survey_.path(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &QDialog::accepted, this, [this, dialog] {
    const std::string problem = survey_.Change(dialog->survey());
    if (!problem.empty()) dialogs_.Message(problem, MessageIcon::kCritical);
  });
  dialog->open();
}

}  // namespace slm
