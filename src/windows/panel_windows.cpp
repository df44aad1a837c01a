#include "windows/panel_windows.h"

#include <QScreen>
#include <algorithm>

#include "analysis/histogram_view.h"
#include "files/list_summary.h"
#include "qt/widget_text.h"
#include "ui/caption_kept.h"
#include "ui/keyboard.h"
#include "windows/list_report_printer.h"
#include "windows/placement.h"

namespace slm {

namespace {

// A list's plot and histogram open this large where the screen allows: a
// plot area of some 600 px beside the window's controls.
constexpr QSize kGraphWindowSize(1040, 700);
// The assessment shows a chart and its tables: as much as the screen gives,
// up to a size that still reads at a glance.
constexpr QSize kAssessmentWindowSize(1600, 960);

}  // namespace

PanelWindows::PanelWindows(QWidget& panel, Dialogs& dialogs, Printing& printing, LnTable& ln_table,
                           const LiveChartData& charts, std::function<void()> keep_alive)
    : panel_(panel),
      dialogs_(dialogs),
      printing_(printing),
      ln_table_(ln_table),
      charts_(charts),
      keep_alive_(std::move(keep_alive)) {}

PanelWindows::~PanelWindows() {
  for (const QPointer<AssessmentWindow>& w : assessments_) delete w.data();
}

void PanelWindows::ShowBeside(QWidget& window) {
  AddCloseKeys(window);
  window.show();
  PlaceBesidePanel(window, panel_);
}

void PanelWindows::Connect(RecordListWindow& window) {
  window.on_plot = [this, &window](const RecordList& list) { PlotList(list, &window); };
  window.on_statistics = [this, &window](StatResolution resolution) {
    ComputeStatistics(window, resolution);
  };
  window.on_print = [this, &window] { PrintListReport(window, dialogs_, printing_, keep_alive_); };
  ConnectAssess(window);
}

void PanelWindows::ConnectAssess(RecordListWindow& window) {
  window.on_assess = [this, &window] { AssessList(window); };
}

void PanelWindows::ShowFile(DataFile file, const std::string& path) {
  RecordListWindow* window = nullptr;
  if (file.list.IsMemorySet()) {
    file_list_ = std::make_unique<FileList>(dialogs_);
    window = file_list_.get();
  } else {
    file_list_real_ = std::make_unique<FileListReal>(dialogs_);
    window = file_list_real_.get();
  }
  const std::vector<std::string> notes = PartialReadNotes(file);
  window->Load(std::move(file.list), file.title, notes);
  window->SetPath(path);
  Connect(*window);
  ShowBeside(*window);
  if (file.truncated) {
    dialogs_.Message("The file holds more than " + std::to_string(kMaxRecords) +
                         " records; the first " + std::to_string(kMaxRecords) + " are shown.",
                     MessageIcon::kInformation);
  }
}

void PanelWindows::OpenLiveTimePlot(LiveSeries series) {
  real_time_graph_.reset();
  real_time_graph_ = std::make_unique<RealTimeGraph>(dialogs_, printing_);
  real_time_graph_->Open(slm::OpenLiveTimePlot(charts_, series));
  ShowBeside(*real_time_graph_);
}

void PanelWindows::OpenLiveHistogram(StatResolution resolution) {
  real_histogram_.reset();
  real_histogram_ = std::make_unique<RealHistogram>(dialogs_, printing_);
  real_histogram_->Open(charts_, resolution);
  ShowBeside(*real_histogram_);
}

void PanelWindows::PlotList(const RecordList& list, const QWidget* from) {
  // Sampling goes on while the levels are classified.
  const CaptionKept caption(panel_);
  const LevelColumnPlot plot = PlotLevelColumn(list, [this](std::size_t row) {
    panel_.setWindowTitle(Latin1(CountCaption(row)));
    keep_alive_();
  });
  const bool opening = !plot_ || !plot_->isVisible();
  if (opening) {
    plot_ = std::make_unique<Plot>(dialogs_, printing_);
    AddCloseKeys(*plot_);
  }
  const QString source = from == nullptr ? QString() : from->windowTitle();
  plot_->Show(plot, source.toStdString());
  if (!source.isEmpty()) plot_->setWindowTitle("Plot - " + source);
  if (opening && from != nullptr) PlaceBesideList(*plot_, *from, kGraphWindowSize);
  if (opening && from == nullptr) PlaceBesidePanel(*plot_, panel_);
}

void PanelWindows::ComputeStatistics(RecordListWindow& window, StatResolution resolution) {
  // Sampling goes on while the levels are counted.
  LevelStatistics stats;
  {
    const CaptionKept caption(window);
    stats = ComputeLevelStatistics(window.list(), resolution,
                                   LnSourceFor(window.list().IsMemorySet(), resolution), ln_table_,
                                   [this, &window](const std::string& progress) {
                                     window.setWindowTitle(Latin1(progress));
                                     keep_alive_();
                                   });
  }
  histogram_.reset();
  histogram_ = std::make_unique<Histogram>(dialogs_, printing_);
  histogram_->Show(stats, resolution, ln_table_, window.windowTitle().toStdString());
  histogram_->setWindowTitle("Histogram - " + window.windowTitle());
  AddCloseKeys(*histogram_);
  histogram_->show();
  PlaceBesideList(*histogram_, window, histogram_->sizeHint().expandedTo(kGraphWindowSize));
  if (!stats.counted) {
    dialogs_.Message(NothingToCountMessage(stats, resolution), MessageIcon::kInformation);
  }
}

void PanelWindows::AssessList(RecordListWindow& window) {
  const bool saved = !window.path().empty();
  const NamedList list{&window.list(),
                       saved ? window.path() : window.windowTitle().toLatin1().toStdString()};
  std::unique_ptr<AssessmentDocument> document;
  try {
    const CaptionKept caption(window);
    window.setWindowTitle("Merging the records...");
    keep_alive_();
    document = std::make_unique<AssessmentDocument>(std::span(&list, 1), saved);
  } catch (const AssessmentError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  }
  ShowAssessment(std::move(document), window.notes(), [&window](QWidget& assessment) {
    PlaceBesideList(assessment, window, kAssessmentWindowSize);
  });
}

void PanelWindows::AssessFiles() {
  const std::vector<std::string> paths = dialogs_.OpenFiles(kOpenFilter);
  if (paths.empty()) return;
  // Each file's levels are taken as it is read and its text let go: a year
  // of daily files never lies in memory as text at once.
  std::vector<ReadLevels> read;
  std::vector<std::string> notes;
  std::unique_ptr<AssessmentDocument> document;
  try {
    const CaptionKept caption(panel_);
    for (std::size_t k = 0; k < paths.size(); ++k) {
      const std::string& path = paths[k];
      const std::string which = paths.size() > 1 ? "File " + std::to_string(k + 1) + " of " +
                                                       std::to_string(paths.size()) + ": "
                                                 : "";
      DataFile file = OpenDataFile(path, [this, &which](const ReadProgress& progress) {
        panel_.setWindowTitle(Latin1(which + progress.caption));
        keep_alive_();
        return true;
      });
      if (file.truncated) {
        // Part of a measurement would give figures for what was not measured.
        dialogs_.Message(path + " holds more than " + std::to_string(kMaxRecords) +
                             " records, more than can be read: split it to assess all of it.",
                         MessageIcon::kCritical);
        return;
      }
      for (const std::string& note : PartialReadNotes(file)) {
        notes.push_back(file.title + ": " + note);
      }
      read.push_back(ReadLevelsOf({&file.list, path}));
    }
    document = std::make_unique<AssessmentDocument>(std::move(read), true);
  } catch (const DataFileError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  } catch (const AssessmentError& e) {
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  }
  // Several files are a measurement of their own: the window takes the
  // middle of the screen, as large as it wants where there is room.
  ShowAssessment(std::move(document), notes, [this](QWidget& assessment) {
    PlaceOnScreen(assessment, panel_, kAssessmentWindowSize);
  });
}

void PanelWindows::ShowAssessment(std::unique_ptr<AssessmentDocument> document,
                                  const std::vector<std::string>& notes,
                                  const std::function<void(QWidget&)>& place) {
  // Several may be open (two weeks side by side): each has a title of its
  // own, and opens clear of the others' corners.
  const std::vector<AssessmentWindow*> open = assessments();
  auto* window = new AssessmentWindow(std::move(document), dialogs_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  std::erase_if(assessments_, [](const QPointer<AssessmentWindow>& w) { return w.isNull(); });
  assessments_.emplace_back(window);
  auto taken = [&open](auto same) { return std::any_of(open.begin(), open.end(), same); };
  const QString title = window->windowTitle();
  for (int n = 2; taken([&](QWidget* w) { return w->windowTitle() == window->windowTitle(); });
       ++n) {
    window->setWindowTitle(QString("%1 (%2)").arg(title).arg(n));
  }
  window->show();
  place(*window);
  const QRect screen = window->screen()->availableGeometry();
  for (int step = 0; step < 8 && taken([&](QWidget* w) { return w->pos() == window->pos(); });
       ++step) {
    const QRect frame = window->frameGeometry();
    window->move(std::min(window->x() + 32, screen.right() + 1 - frame.width()),
                 std::min(window->y() + 32, screen.bottom() + 1 - frame.height()));
  }
  window->TellPartlyRead(notes);
}

std::vector<AssessmentWindow*> PanelWindows::assessments() const {
  std::vector<AssessmentWindow*> open;
  for (const QPointer<AssessmentWindow>& w : assessments_) {
    if (w && w->isVisible()) open.push_back(w.data());
  }
  return open;
}

AssessmentWindow* PanelWindows::assessment() const {
  const std::vector<AssessmentWindow*> open = assessments();
  return open.empty() ? nullptr : open.back();
}

void PanelWindows::ShowManual() { slm::ShowManual(manual_, panel_); }

void PanelWindows::CloseAll() {
  for (QWidget* window : std::initializer_list<QWidget*>{
           manual_.get(), file_list_.get(), file_list_real_.get(), real_time_graph_.get(),
           plot_.get(), real_histogram_.get(), histogram_.get()}) {
    if (window != nullptr) window->close();
  }
  for (AssessmentWindow* window : assessments()) window->close();
}

}  // namespace slm
