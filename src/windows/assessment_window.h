#pragma once

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "assessment/assessment_document.h"
#include "assessment/level_summaries.h"
#include "files/survey_file.h"
#include "graph/graph.h"
#include "ui/dialogs.h"
#include "ui/text_table_model.h"

namespace slm {

// "Assessment": the figures of a long measurement (one list or several
// files) for the settings in its top row, its time history and its tables,
// and the stretches left out, which go to the side files at once. The
// figures are worked out off the GUI thread: the newest settings win, and
// the figures shown are always those of the settings they name.
class AssessmentWindow : public QWidget {
 public:
  AssessmentWindow(std::unique_ptr<AssessmentDocument> document, Dialogs& dialogs,
                   QWidget* parent = nullptr);
  ~AssessmentWindow() override;

  // Works out the figures for the settings as the boxes hold them; a
  // setting the core refuses is said in LblNote and the figures stay.
  void Recompute();
  // True while figures for the newest settings are being worked out.
  bool computing() const { return shown_ != requested_.load(); }
  // The figures on show, or nothing before the first are ready.
  const AssessmentFigures* figures() const { return figures_.get(); }
  const AssessmentDocument& document() const { return *document_; }

  // Leaves out `stretch` with a reason asked for, writes the side files and
  // works out the figures again.
  void ExcludeStretch(Stretch stretch);
  // "Exclude...": the interval or event selected in the table on show.
  void ExcludeSelected();
  // "Reason..." and "Remove" for the stretch selected in "Exclusions".
  void EditReason();
  void RemoveExclusion();
  // "Export Table...", "Save Chart..." and "Report...".
  void ExportTable();
  void SaveChart();
  void WriteReport();
  // "Survey...": the survey's description in a dialog; OK writes it to the
  // side file of the first file.
  void EditSurvey();
  const SurveyDescription& survey() const { return survey_.survey(); }
  // The whole measurement in the chart (also a double-click or Home).
  void ShowWhole();
  // Says below the tables, for as long as the window is open, what of the
  // files could not be read, and once in a message.
  void TellPartlyRead(const std::vector<std::string>& notes);

  QComboBox* CmbInterval = nullptr;
  QSpinBox* SpnDay = nullptr;
  QSpinBox* SpnEvening = nullptr;
  QSpinBox* SpnNight = nullptr;
  QLineEdit* TxtPercentiles = nullptr;
  QLineEdit* TxtThreshold = nullptr;
  QSpinBox* SpnMinDuration = nullptr;
  QSpinBox* SpnHold = nullptr;
  QComboBox* CmbRolling = nullptr;
  Graph* Chart = nullptr;
  QTableView* TblTotals = nullptr;
  QTabWidget* Tabs = nullptr;
  QTableView* TblDays = nullptr;
  QTableView* TblIntervals = nullptr;
  QTableView* TblEvents = nullptr;
  QTableView* TblExclusions = nullptr;
  QPushButton* CmdExclude = nullptr;
  QPushButton* CmdReason = nullptr;
  QPushButton* CmdRemove = nullptr;
  QPushButton* CmdExport = nullptr;
  QPushButton* CmdSaveChart = nullptr;
  QPushButton* CmdReport = nullptr;
  QPushButton* CmdSurvey = nullptr;
  QPushButton* CmdWhole = nullptr;
  QLabel* LblNote = nullptr;

 protected:
  // A chart that changes its width draws its levels in as many columns.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildSettings();
  // The settings as they were last used, in any window; what the figures
  // are worked out for is kept for the next.
  void RestoreSettings();
  void KeepSettings();
  // The settings in rows of `per_row` captioned boxes: one row where the
  // window is wide enough, two on a small screen.
  void ArrangeSettings(int per_row);
  void BuildTables();
  void Show(std::shared_ptr<const AssessmentFigures> figures);
  void ShowExclusions();
  // The row chosen in "Exclusions"; nothing, and the user told to choose one,
  // when there is none.
  std::optional<std::size_t> ChosenExclusion();
  void Note(const std::string& text);
  // An interval, event or stretch left out chosen in its table: the chart
  // shows it.
  void RowChosen(QTableView* table);
  // The view's levels and marks drawn again for the chart's width.
  void DrawView();
  void ChartClicked(double x);
  void Zoom(Stretch stretch);
  // Says plainly what could not be written; the window keeps the change.
  void SideFileProblem(const std::string& problem);
  int Columns() const;

  std::unique_ptr<AssessmentDocument> document_;
  LevelSummaries summaries_;  // of the document's levels, for the chart
  Dialogs& dialogs_;
  SurveyEditor survey_;
  TextTableModel totals_;
  TextTableModel days_;
  TextTableModel intervals_;
  TextTableModel events_;
  TextTableModel exclusions_;
  std::shared_ptr<const AssessmentFigures> figures_;
  std::string standing_note_;  // what holds while the window is open
  QThreadPool pool_;
  std::atomic<long> requested_{0};
  long shown_ = 0;
  bool drawing_ = false;       // the chart is being filled: its view changes are its own
  bool from_chart_ = false;    // a row is being chosen by a click on the chart
  bool first_figures_ = true;  // the chart starts on the whole measurement
  QWidget* settings_box_ = nullptr;
  QGridLayout* settings_grid_ = nullptr;
  std::vector<std::pair<QLabel*, QWidget*>> settings_cells_;
  int settings_per_row_ = 0;
  int one_row_width_ = 0;  // the least width of the settings in one row
};

}  // namespace slm
