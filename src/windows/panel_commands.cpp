// The panel's PC sampling, recording, toolbar commands and what it does when
// the meter is lost or found again.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTime>

#include "files/data_file_reader.h"
#include "files/file_io.h"
#include "windows/panel_window.h"
#include "ui/icons.h"
#include "ui/qt_dialogs.h"

namespace slm {

namespace {

QString Latin1(const std::string& text) { return QString::fromLatin1(text.c_str()); }

}  // namespace

Panel::TimerPause::TimerPause(Panel& panel)
    : panel_(panel), timer1_(panel.Timer1.isActive()), timer2_(panel.Timer2.isActive()) {
  panel_.Timer1.stop();
  panel_.Timer2.stop();
}

Panel::TimerPause::~TimerPause() {
  // Only what ran before starts again: offline, or while the meter is lost,
  // a timer that was stopped stays stopped.
  if (timer1_) panel_.Timer1.start();
  if (timer2_) panel_.Timer2.start();
}

void Panel::BuildRecording(QWidget* face, QVBoxLayout* layout) {
  auto* row = new QHBoxLayout;
  CmdL = new QPushButton("Leq", face);
  CmdL->setObjectName("CmdL");
  CmdL->setToolTip("Set up a time period (hh:nn:ss)");
  CmdL->setFocusPolicy(Qt::NoFocus);
  QObject::connect(CmdL, &QPushButton::clicked, this, [this] { CmdLClicked(); });
  row->addWidget(CmdL);
  LblTimer = new QLabel("Sampling", face);
  LblTimer->setObjectName("LblTimer");
  LblSecond = new QLabel(face);
  LblSecond->setObjectName("LblSecond");
  row->addWidget(LblTimer);
  row->addWidget(LblSecond);
  row->addStretch();
  LblRec = new QLabel("Rec.", face);
  LblRec->setObjectName("LblRec");
  LblRec->hide();
  row->addWidget(LblRec);
  LblNo = new QLabel("No.", face);
  LblNo->setObjectName("LblNo");
  LblCount = new QLabel(face);
  LblCount->setObjectName("LblCount");
  LblCount->setMinimumWidth(50);
  row->addWidget(LblNo);
  row->addWidget(LblCount);
  layout->addLayout(row);

  auto* file_row = new QHBoxLayout;
  LblFileName = new QLabel(face);
  LblFileName->setObjectName("LblFileName");
  LblLeq = new QLabel(face);
  LblLeq->setObjectName("LblLeq");
  LblSEL = new QLabel(face);
  LblSEL->setObjectName("LblSEL");
  file_row->addWidget(LblFileName, 1);
  file_row->addWidget(LblLeq);
  file_row->addWidget(LblSEL);
  layout->addLayout(file_row);

  PicSave = new QGroupBox("Save Data", face);
  PicSave->setObjectName("PicSave");
  auto* save = new QHBoxLayout(PicSave);
  OptSampling = new QRadioButton("By PC Sampling Rate", PicSave);
  OptSampling->setObjectName("OptSampling");
  OptSaveList = new QRadioButton("Saving List Data", PicSave);
  OptSaveList->setObjectName("OptSaveList");
  CmdSaveOK = new QPushButton("OK", PicSave);
  CmdSaveOK->setObjectName("CmdSaveOK");
  save->addWidget(OptSampling);
  save->addWidget(OptSaveList);
  save->addStretch();
  save->addWidget(CmdSaveOK);
  QObject::connect(OptSampling, &QRadioButton::clicked, this, [this] { OptSamplingClicked(); });
  QObject::connect(OptSaveList, &QRadioButton::clicked, this, [this] { OptSaveListClicked(); });
  QObject::connect(CmdSaveOK, &QPushButton::clicked, this, [this] { CmdSaveOKClicked(); });
  layout->addWidget(PicSave);
  PicSave->hide();
  ShowRecordingState();
}

PanelCaptions Panel::Captions() const {
  return {BoardCA->text().toLatin1().toStdString(), BoardSFI->text().toLatin1().toStdString(),
          BoardLevel->text().toLatin1().toStdString()};
}

void Panel::Tell(const std::string& message) {
  if (!message.empty()) context_.dialogs.Message(message, MessageIcon::kCritical);
}

void Panel::ShowPanelList(bool afresh) {
  if (afresh) {
    GridModel->SetList(&context_.recorder.list());
  } else {
    GridModel->Sync();
  }
  // The newest sample stays in sight.
  if (GridModel->rowCount() > 3) GridN->scrollToBottom();
}

void Panel::ShowRunningValues() {
  const RunningValues& v = context_.recorder.panel();
  BoardLeq->setText(Latin1(v.leq_text));
  BoardSEL->setText(Latin1(v.sel_text));
  BoardMaxdB->setText(Latin1(v.max_text));
  BoardMaxTime->setText(Latin1(v.max_time));
}

void Panel::ShowRecordingState() {
  const PcRecorder& recorder = context_.recorder;
  LblSecond->setText(QString("%1 s").arg(recorder.period()));
  if (recorder.recording()) {
    LblRec->setText("Rec");
    LblRec->show();
    LblNo->show();
    LblCount->setText(QString::number(recorder.record_count()));
    LblLeq->setText("Leq " + Latin1(recorder.recording_values().leq_text));
    LblSEL->setText("SEL " + Latin1(recorder.recording_values().sel_text));
  } else {
    LblRec->hide();
    LblNo->hide();
    LblCount->clear();
    LblFileName->clear();
    LblLeq->clear();
    LblSEL->clear();
  }
}

void Panel::SetSaveButtonRecording(bool recording) {
  QAction* save = ToolbarButton(1);
  if (recording) {
    save->setIcon(GlyphIcon(Glyph::kStop, QColor(0xc6, 0x28, 0x28)));
    save->setToolTip("Stop Recording");
  } else {
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolTip("Save As");
  }
}

void Panel::Timer2Tick() {
  // A message box or a long job inside the tick lets the timer fire again.
  if (timer2_running_) return;
  timer2_running_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{timer2_running_};

  const Reading& reading = context_.reading;
  // Before the meter's first frame there is no level to sample.
  if (reading.level_text.empty()) return;
  const bool was_recording = context_.recorder.recording();
  const PcRecorder::TickResult result =
      context_.recorder.Tick(reading.level, reading.level_text, Captions());
  ShowRunningValues();
  if (result.list_changed) ShowPanelList(!result.auto_saved.empty());
  if (result.sampled) {
    const LiveChartUpdate update = context_.charts.UpdateLiveCharts(
        reading.level, context_.recorder.panel().leq_text, context_.recorder.panel().sel_text);
    CWDec->setVisible(update.fine_visible);
    CWInt->setVisible(!update.fine_visible);
  }
  if (was_recording && !context_.recorder.recording()) SetSaveButtonRecording(false);
  if (result.sampled || result.recording_ended) ShowRecordingState();
  Tell(result.message);
}

void Panel::ToolbarClicked(const QString& key) {
  PicSave->hide();
  if (command_running_) return;
  if (key == "Save") {
    SaveCommand();
  } else if (key == "Open") {
    OpenCommand();
  } else if (key == "AC") {
    SendToolbarCommand("G");
  } else if (key == "FSI") {
    SendToolbarCommand("D");
  } else if (key == "Up") {
    SendToolbarCommand("E");
  } else if (key == "Down") {
    SendToolbarCommand("F");
  } else if (key == "Refresh") {
    RefreshCommand();
  }
  // "Sampling", "RTC", "Memory" and "Erase" open the meter's logger windows.
}

void Panel::SaveCommand() {
  if (context_.recorder.recording()) {
    const std::string message = context_.recorder.EndRecording(Captions());
    SetSaveButtonRecording(false);
    ShowRecordingState();
    Tell(message);
    return;
  }
  OptSampling->setChecked(true);
  OptSaveList->setChecked(false);
  context_.recorder.SetSaveMode(1);
  PicSave->show();
}

void Panel::OptSamplingClicked() { context_.recorder.SetSaveMode(1); }
void Panel::OptSaveListClicked() { context_.recorder.SetSaveMode(2); }

void Panel::CmdSaveOKClicked() {
  PicSave->hide();
  PcRecorder& recorder = context_.recorder;
  if (recorder.recording()) return;
  if (recorder.save_mode() == 1) {
    const FileChoice choice = context_.dialogs.SaveFile(kSaveFilter);
    if (!choice.chosen()) return;
    try {
      recorder.StartRecording(choice.path, SeparatorForFilter(choice.filter_index));
    } catch (const DataFileError& e) {
      Tell(std::string(e.what()) + "\nThe recording did not start.");
      return;
    }
    SetSaveButtonRecording(true);
    ShowRecordingState();
    LblFileName->setText(QString::fromStdString(choice.Title()));
    return;
  }
  BusyCursor busy;
  const FileChoice choice = context_.dialogs.SaveFile(kSaveFilter);
  if (!choice.chosen()) return;
  try {
    recorder.SaveList(choice.path, SeparatorForFilter(choice.filter_index), Captions());
  } catch (const DataFileError& e) {
    Tell(e.what());
  }
}

void Panel::OpenCommand() {
  if (context_.recorder.recording()) {
    context_.dialogs.Message(kRecordingMode, MessageIcon::kCritical);
    return;
  }
  const FileChoice choice = context_.dialogs.OpenFile(kOpenFilter);
  if (!choice.chosen()) return;

  command_running_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{command_running_};
  TimerPause pause(*this);
  const QString caption = windowTitle();
  DataFile file;
  try {
    BusyCursor busy;
    file = OpenDataFile(choice.path, [this](const ReadProgress& progress) {
      setWindowTitle(QString("%1 Records Completed").arg(progress.records));
      QCoreApplication::processEvents();
      return true;
    });
  } catch (const DataFileError& e) {
    setWindowTitle(caption);
    Tell(e.what());
    return;
  }
  setWindowTitle(caption);

  // A list is opened afresh in its window each time.
  const bool memory_set =
      file.list.kind() == ListKind::kDataLogger2 || file.list.kind() == ListKind::kDataLogger;
  RecordListWindow* window = nullptr;
  if (memory_set) {
    file_list_ = std::make_unique<FileList>(context_.dialogs);
    window = file_list_.get();
  } else {
    file_list_real_ = std::make_unique<FileListReal>(context_.dialogs);
    window = file_list_real_.get();
  }
  window->Load(std::move(file.list), file.title, file.skipped_lines);
  window->show();
  window->PlaceBeside(*this);
  if (file.truncated) {
    context_.dialogs.Message("The file holds more than " + std::to_string(kMaxRecords) +
                                 " records; the first " + std::to_string(kMaxRecords) +
                                 " are shown.",
                             MessageIcon::kInformation);
  }
}

void Panel::RefreshCommand() {
  context_.recorder.Refresh();
  context_.charts.Refresh();
  ShowPanelList(true);
}

void Panel::SendToolbarCommand(const char* letter) {
  if (!context_.link.IsOpen()) return;
  TimerPause pause(*this);
  try {
    context_.link.SendCommand(letter);
  } catch (const LinkError& e) {
    Tell(e.what());
  }
}

void Panel::CmdLClicked() {
  for (;;) {
    const std::string answer = context_.dialogs.Input(kLaunchPrompt, kLaunchTitle, kLaunchDefault);
    if (answer.empty()) return;
    std::optional<LaunchPeriod> launch = ParseLaunchPeriod(answer);
    if (!launch) {
      context_.dialogs.Message(kLaunchInvalid, MessageIcon::kCritical);
      continue;
    }
    const auto& previous = context_.recorder.launch_period();
    launch->flag = previous ? !previous->flag : true;
    launch->set_at_second = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    context_.recorder.SetLaunchPeriod(*launch);
    LblTimer->setText(Latin1(launch->hours + ":" + launch->minutes + ":" + launch->seconds));
    return;
  }
}

void Panel::LinkLost() {
  Timer2.stop();
  // The samples recorded so far are the user's: the recording is ended into
  // its file as "Save" would end it.
  const std::string message = context_.recorder.LinkLost(Captions());
  SetSaveButtonRecording(false);
  ShowRecordingState();
  LblCOM->setText("No COM");
  LblValue->clear();
  ShownLCD->clear();
  ShowPanelList(true);
  context_.charts.ResetAfterLinkLoss();
  Tell(message);
}

void Panel::LinkRestored() {
  LblCOM->setText(QString::fromStdString(context_.link.PortLabel()));
  Timer2.start();
}

void Panel::closeEvent(QCloseEvent* event) {
  Timer1.stop();
  Timer2.stop();
  // A recording still running is written to its file before the program ends.
  Tell(context_.recorder.EndRecording(Captions()));
  if (file_list_) file_list_->close();
  if (file_list_real_) file_list_real_->close();
  event->accept();
  context_.exit_program(0);
}

}  // namespace slm
