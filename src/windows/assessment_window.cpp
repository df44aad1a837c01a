#include "windows/assessment_window.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <string>

#include "assessment/assessment_output.h"
#include "assessment/assessment_settings.h"
#include "graph/assessment_chart.h"
#include "qt/widget_text.h"
#include "ui/keyboard.h"
#include "ui/user_settings.h"

namespace slm {

namespace {

// The rolling windows offered, in seconds.
constexpr std::int64_t kRollingChoices[] = {300, 900, 3600, 8 * 3600, 86400};

template <typename T>
T* Control(const char* name, const char* accessible, QWidget* parent) {
  T* control = Named<T>(name, parent);
  control->setAccessibleName(accessible);
  return control;
}

QTableView* Table(const char* name, const char* accessible, TextTableModel& model,
                  QWidget* parent) {
  auto* table = Control<QTableView>(name, accessible, parent);
  table->setModel(&model);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the table for the next control instead of walking its cells;
  // the arrows move within it.
  table->setTabKeyNavigation(false);
  table->setAlternatingRowColors(true);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return table;
}

}  // namespace

AssessmentWindow::AssessmentWindow(std::unique_ptr<AssessmentDocument> document, Dialogs& dialogs,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      document_(std::move(document)),
      summaries_(*document_->levels()),
      dialogs_(dialogs),
      survey_(document_->saved() && !document_->files().empty() ? document_->files().front().path
                                                                : "") {
  setObjectName("Assessment");
  setWindowTitle(Latin1(document_->Title()));
  // One job at a time: a newer request waits for it, and older ones waiting are skipped.
  pool_.setMaxThreadCount(1);
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  settings_box_ = new QWidget(this);
  settings_grid_ = new QGridLayout(settings_box_);
  settings_grid_->setContentsMargins(0, 0, 0, 0);
  BuildSettings();
  root->addWidget(settings_box_);

  auto* split = new QSplitter(Qt::Vertical, this);
  auto* top = new QWidget(split);
  auto* top_row = new QHBoxLayout(top);
  top_row->setContentsMargins(0, 0, 0, 0);
  Chart = Control<Graph>("Chart", "Chart", top);
  Chart->setMinimumSize(360, 220);
  Chart->SetViewControls(true);
  Chart->setToolTip(
      "The wheel zooms, a drag pans, a click chooses the interval and event at that time, "
      "Shift and a drag leave a stretch out; a double-click or Home shows the whole measurement");
  top_row->addWidget(Chart, 1);
  TblTotals = Table("TblTotals", "Totals", totals_, top);
  // The values take the width left and wrap, so that none is cut.
  TblTotals->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  TblTotals->horizontalHeader()->setStretchLastSection(true);
  TblTotals->setMinimumWidth(320);
  TblTotals->setMaximumWidth(440);
  TblTotals->setWordWrap(true);
  QObject::connect(TblTotals->horizontalHeader(), &QHeaderView::sectionResized, TblTotals,
                   [this] { TblTotals->resizeRowsToContents(); });
  top_row->addWidget(TblTotals);
  split->addWidget(top);

  auto* bottom = new QWidget(split);
  auto* bottom_row = new QHBoxLayout(bottom);
  bottom_row->setContentsMargins(0, 0, 0, 0);
  Tabs = Control<QTabWidget>("Tabs", "Tables", bottom);
  BuildTables();
  bottom_row->addWidget(Tabs, 1);
  auto* buttons = new QVBoxLayout;
  auto button = [&](QPushButton*& b, const char* name, const char* caption, const char* tip) {
    b = Named<QPushButton>(name, caption, bottom);
    b->setToolTip(tip);
    buttons->addWidget(b);
  };
  // Alt and the underlined letter press a button; no two controls of the
  // window share a letter (the settings' captions take I D E N P T M H R).
  button(CmdExclude, "CmdExclude", "E&xclude...",
         "Leave the interval or event selected out of every figure");
  button(CmdReason, "CmdReason", "Rea&son...", "Change the reason of the stretch selected");
  button(CmdRemove, "CmdRemove", "Remo&ve", "Count the stretch selected again");
  buttons->addSpacing(12);
  button(CmdWhole, "CmdWhole", "&Whole Measurement", "Show the whole measurement in the chart");
  button(CmdExport, "CmdExport", "Export T&able...", "The table on show as a CSV file");
  button(CmdSaveChart, "CmdSaveChart", "Save &Chart...", "The chart as a PNG, SVG or PDF file");
  button(CmdReport, "CmdReport", "Rep&ort...", "The report of what is shown, as a PDF document");
  button(CmdSurvey, "CmdSurvey", "S&urvey...", "Where, for whom and with what the survey was made");
  buttons->addStretch();
  bottom_row->addLayout(buttons);
  split->addWidget(bottom);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  root->addWidget(split, 1);

  // A screen reader reads the note itself: the label keeps no name of its own.
  LblNote = Named<QLabel>("LblNote", this);
  LblNote->setWordWrap(true);
  LblNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  root->addWidget(LblNote);

  QObject::connect(CmdExclude, &QPushButton::clicked, this, [this] { ExcludeSelected(); });
  QObject::connect(CmdReason, &QPushButton::clicked, this, [this] { EditReason(); });
  QObject::connect(CmdRemove, &QPushButton::clicked, this, [this] { RemoveExclusion(); });
  QObject::connect(CmdWhole, &QPushButton::clicked, this, [this] { ShowWhole(); });
  QObject::connect(CmdExport, &QPushButton::clicked, this, [this] { ExportTable(); });
  QObject::connect(CmdSaveChart, &QPushButton::clicked, this, [this] { SaveChart(); });
  QObject::connect(CmdReport, &QPushButton::clicked, this, [this] { WriteReport(); });
  QObject::connect(CmdSurvey, &QPushButton::clicked, this, [this] { EditSurvey(); });
  Chart->on_reset = [this] { ShowWhole(); };
  Chart->on_view_changed = [this] {
    if (!drawing_) DrawView();
  };
  Chart->on_clicked_at = [this](double x) { ChartClicked(x); };
  Chart->installEventFilter(this);
  Chart->on_stretch_dragged = [this](double x0, double x1) {
    ExcludeStretch(DraggedStretch(x0, x1));
  };
  AddCloseKeys(*this);
  resize(1180, 760);

  if (!document_->saved()) {
    standing_note_ =
        "This list has no file: the stretches left out are kept in this window only (save the "
        "list to keep them).";
  }
  std::string problem = document_->ReadSideFiles();
  // A side file that could not be read has said so: the tones stay in the window.
  const std::string tones = document_->CheckCalibration();
  if (problem.empty()) problem = tones;
  if (!problem.empty()) SideFileProblem(problem);
  if (const std::string survey = survey_.Read(); !survey.empty()) {
    dialogs_.Message(survey, MessageIcon::kExclamation);
  }
  ShowExclusions();
  Recompute();
}

AssessmentWindow::~AssessmentWindow() {
  // A job still running must not deliver to a window that is gone.
  requested_ = -1;
  pool_.waitForDone();
}

void AssessmentWindow::BuildSettings() {
  // Captions above their boxes: the whole row fits a screen of 1280 pixels.
  auto add = [&](QWidget* box, const char* caption) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(box);
    settings_cells_.emplace_back(label, box);
  };
  CmbInterval = Control<QComboBox>("CmbInterval", "Interval", this);
  for (const std::int64_t s : kIntervalChoices) {
    CmbInterval->addItem(Latin1(IntervalCaption(s)), QVariant::fromValue<qlonglong>(s));
  }
  CmbInterval->setCurrentIndex(3);  // an hour
  add(CmbInterval, "&Interval");
  const AssessmentSettings defaults;
  const char* const names[] = {"SpnDay", "SpnEvening", "SpnNight"};
  const char* const captions[] = {"Day starts", "Evening starts", "Night starts"};
  const char* const shown[] = {"&Day from", "&Evening from", "&Night from"};
  QSpinBox** boxes[] = {&SpnDay, &SpnEvening, &SpnNight};
  for (int i = 0; i < 3; ++i) {
    QSpinBox* box = Control<QSpinBox>(names[i], captions[i], this);
    box->setRange(0, 23);
    box->setSuffix(":00");
    box->setValue(defaults.part_starts[static_cast<std::size_t>(i)]);
    *boxes[i] = box;
    add(box, shown[i]);
  }
  TxtPercentiles = Control<QLineEdit>("TxtPercentiles", "Percentiles", this);
  TxtPercentiles->setText(Latin1(ListText(defaults.percentiles)));
  TxtPercentiles->setMinimumWidth(
      TxtPercentiles->fontMetrics().horizontalAdvance("1, 5, 10, 50, 90, 95, 99") + 16);
  add(TxtPercentiles, "&Percentiles");
  TxtThreshold = Control<QLineEdit>("TxtThreshold", "Threshold (dB)", this);
  TxtThreshold->setPlaceholderText("none");
  TxtThreshold->setMaximumWidth(80);
  add(TxtThreshold, "&Threshold (dB)");
  SpnMinDuration = Control<QSpinBox>("SpnMinDuration", "Minimum duration (s)", this);
  SpnHold = Control<QSpinBox>("SpnHold", "Hold (s)", this);
  for (QSpinBox* box : {SpnMinDuration, SpnHold}) box->setRange(0, 86400);
  add(SpnMinDuration, "&Min. duration (s)");
  add(SpnHold, "&Hold (s)");
  CmbRolling = Control<QComboBox>("CmbRolling", "Rolling window", this);
  for (const std::int64_t s : kRollingChoices) {
    CmbRolling->addItem(Latin1(IntervalCaption(s)), QVariant::fromValue<qlonglong>(s));
  }
  CmbRolling->setCurrentIndex(2);  // an hour
  add(CmbRolling, "&Rolling window");
  const int cells = static_cast<int>(settings_cells_.size());
  settings_grid_->setColumnStretch(cells, 1);
  // The window may be as narrow as the settings in two rows (an 800 px
  // screen); wider than one row needs, they take one.
  ArrangeSettings((cells + 1) / 2);
  settings_box_->setMinimumWidth(settings_grid_->minimumSize().width());
  ArrangeSettings(cells);
  one_row_width_ = settings_grid_->minimumSize().width();
  settings_box_->installEventFilter(this);
  RestoreSettings();

  for (QComboBox* box : {CmbInterval, CmbRolling}) {
    QObject::connect(box, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
  }
  for (QSpinBox* box : {SpnDay, SpnEvening, SpnNight, SpnMinDuration, SpnHold}) {
    QObject::connect(box, &QSpinBox::valueChanged, this, [this] { Recompute(); });
  }
  for (QLineEdit* box : {TxtPercentiles, TxtThreshold}) {
    QObject::connect(box, &QLineEdit::textChanged, this, [this] { Recompute(); });
  }
}

void AssessmentWindow::RestoreSettings() {
  const std::map<std::string, std::string> kept = RememberedAssessmentSettings();
  auto text = [&kept](const char* name) -> std::optional<QString> {
    const auto found = kept.find(name);
    if (found == kept.end()) return std::nullopt;
    return QString::fromStdString(found->second);
  };
  for (auto [box, name] : {std::pair{CmbInterval, "interval"}, std::pair{CmbRolling, "rolling"}}) {
    const std::optional<QString> seconds = text(name);
    const int index =
        seconds ? box->findData(QVariant::fromValue<qlonglong>(seconds->toLongLong())) : -1;
    if (index >= 0) box->setCurrentIndex(index);
  }
  for (auto [box, name] :
       {std::pair{SpnDay, "day"}, std::pair{SpnEvening, "evening"}, std::pair{SpnNight, "night"},
        std::pair{SpnMinDuration, "min_duration"}, std::pair{SpnHold, "hold"}}) {
    bool number = false;
    const int value = text(name).value_or(QString()).toInt(&number);
    if (number) box->setValue(value);
  }
  for (auto [box, name] :
       {std::pair{TxtPercentiles, "percentiles"}, std::pair{TxtThreshold, "threshold"}}) {
    if (const std::optional<QString> typed = text(name)) box->setText(*typed);
  }
}

void AssessmentWindow::KeepSettings() {
  auto number = [](qlonglong n) { return std::to_string(n); };
  RememberAssessmentSettings({{"interval", number(CmbInterval->currentData().toLongLong())},
                              {"day", number(SpnDay->value())},
                              {"evening", number(SpnEvening->value())},
                              {"night", number(SpnNight->value())},
                              {"percentiles", TxtPercentiles->text().toStdString()},
                              {"threshold", TxtThreshold->text().toStdString()},
                              {"min_duration", number(SpnMinDuration->value())},
                              {"hold", number(SpnHold->value())},
                              {"rolling", number(CmbRolling->currentData().toLongLong())}});
}

void AssessmentWindow::BuildTables() {
  TblDays = Table("TblDays", "Days", days_, Tabs);
  TblIntervals = Table("TblIntervals", "Intervals", intervals_, Tabs);
  TblEvents = Table("TblEvents", "Events", events_, Tabs);
  TblExclusions = Table("TblExclusions", "Exclusions", exclusions_, Tabs);
  TblDays->setToolTip("A part of a day without a counted record says \"missing\"");
  Tabs->addTab(TblDays, "Days");
  Tabs->addTab(TblIntervals, "Intervals");
  Tabs->addTab(TblEvents, "Events");
  Tabs->addTab(TblExclusions, "Exclusions");
  Tabs->setCurrentWidget(TblIntervals);
  QObject::connect(TblExclusions, &QTableView::doubleClicked, this, [this] { EditReason(); });
  for (QTableView* table : {TblIntervals, TblEvents, TblExclusions}) {
    QObject::connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                     [this, table] { RowChosen(table); });
  }
}

void AssessmentWindow::Recompute() {
  // The boxes give the texts the command's options give.
  auto number = [](qlonglong n) { return std::optional<std::string>(std::to_string(n)); };
  const SettingsTexts texts{number(CmbInterval->currentData().toLongLong()),
                            ListText({SpnDay->value(), SpnEvening->value(), SpnNight->value()}),
                            TxtPercentiles->text().toStdString(),
                            TxtThreshold->text().toStdString(),
                            number(SpnMinDuration->value()),
                            number(SpnHold->value()),
                            number(CmbRolling->currentData().toLongLong()),
                            {}};
  std::string problem;
  std::optional<AssessmentSettings> parsed = ParseSettings(texts, problem);
  if (!parsed) {
    // Nothing is worked out, and an older request still running is not shown.
    const long request = ++requested_;
    shown_ = request;
    Note("These settings cannot be used: " + problem +
         (figures_ ? ". The figures shown are those of the last settings that could." : "."));
    return;
  }
  AssessmentSettings s = std::move(*parsed);
  s.exclusions = document_->exclusions();
  KeepSettings();
  const long request = ++requested_;
  Note("Working out the figures...");
  std::shared_ptr<const MeasuredLevels> levels = document_->levels();
  pool_.start([this, request, levels, s = std::move(s), lists = document_->lists()] {
    // A newer request has come since: this one would only be thrown away.
    if (requested_.load() != request) return;
    auto figures = std::make_shared<const AssessmentFigures>(ComputeFigures(*levels, s, lists));
    QMetaObject::invokeMethod(
        this,
        [this, request, figures] {
          if (requested_.load() == request) Show(figures);
        },
        Qt::QueuedConnection);
  });
}

void AssessmentWindow::Show(std::shared_ptr<const AssessmentFigures> figures) {
  figures_ = std::move(figures);
  shown_ = requested_.load();
  totals_.SetTable(SummaryTable(figures_->tables));
  TblTotals->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  TblTotals->resizeRowsToContents();
  days_.SetTable(figures_->tables.days);
  intervals_.SetTable(figures_->tables.intervals);
  events_.SetTable(figures_->tables.events);
  Tabs->setTabText(2, QString("Events (%1)").arg(figures_->assessment.events.size()));
  // The chart keeps the view it had, unless this is the first drawing.
  const AxisRange view = Chart->XRange();
  drawing_ = true;
  ShowTimeHistory(*Chart, summaries_, figures_->settings, figures_->assessment, Columns());
  if (!first_figures_) Chart->SetXRange(view.min, view.max);
  drawing_ = false;
  DrawView();
  first_figures_ = false;
  Note(figures_->assessment.total.count == 0
           ? "No level to count: every record is paused or left out."
           : "");
}

void AssessmentWindow::ShowExclusions() {
  exclusions_.SetTable(ExclusionsTable(document_->exclusions()));
  Tabs->setTabText(3, QString("Exclusions (%1)").arg(document_->exclusions().size()));
}

void AssessmentWindow::Note(const std::string& text) {
  std::string shown = standing_note_;
  if (!text.empty()) shown += (shown.empty() ? "" : " ") + text;
  LblNote->setText(Latin1(shown));
}

void AssessmentWindow::ShowWhole() {
  const MeasuredLevels& levels = *document_->levels();
  if (levels.samples.empty()) return;
  Chart->SetXRange(static_cast<double>(levels.samples.front().time),
                   static_cast<double>(levels.samples.back().time + levels.samples.back().period));
}

void AssessmentWindow::ArrangeSettings(int per_row) {
  if (per_row == settings_per_row_) return;
  settings_per_row_ = per_row;
  for (const auto& [label, box] : settings_cells_) {
    settings_grid_->removeWidget(label);
    settings_grid_->removeWidget(box);
  }
  for (int i = 0; i < static_cast<int>(settings_cells_.size()); ++i) {
    const auto& [label, box] = settings_cells_[static_cast<std::size_t>(i)];
    settings_grid_->addWidget(label, 2 * (i / per_row), i % per_row);
    settings_grid_->addWidget(box, 2 * (i / per_row) + 1, i % per_row);
  }
}

bool AssessmentWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == settings_box_ && event->type() == QEvent::Resize) {
    const int cells = static_cast<int>(settings_cells_.size());
    ArrangeSettings(settings_box_->width() >= one_row_width_ ? cells : (cells + 1) / 2);
  }
  if (watched == Chart && event->type() == QEvent::Resize && !drawing_) DrawView();
  return QWidget::eventFilter(watched, event);
}

void AssessmentWindow::DrawView() {
  if (figures_) {
    DrawViewedLevels(*Chart, summaries_, figures_->settings, figures_->assessment, Columns());
  }
}

int AssessmentWindow::Columns() const { return std::max(200, Chart->width()); }

}  // namespace slm
