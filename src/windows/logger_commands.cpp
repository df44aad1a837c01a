#include "windows/logger_commands.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "base/flag_guard.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "files/record_text.h"
#include "live/notices.h"
#include "logger/meter_logger.h"
#include "qt/widget_text.h"
#include "windows/placement.h"

namespace slm {

namespace {

inline constexpr const char* kPcSamplingPrompt =
    "Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) ";
inline constexpr const char* kMeterSamplingPrompt =
    "Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 255 ) ";
inline constexpr const char* kSamplingTitle = "Input Sampling Time";
inline constexpr const char* kIntervalPrompt =
    "Enter the INTERVAL TIME in seconds\r\n(1 <= t <= 255 ) ";
inline constexpr const char* kIntervalTitle = "Input Interval Time";
inline constexpr const char* kPeriodWhileRecording =
    "The PC's sampling period cannot change while a recording runs: its file holds one "
    "period. Stop the recording first.";
inline constexpr const char* kListBeforeRetry =
    "Before you try again, list the meter's memory with \"Memory\".";

// "mmddhhnnss-incomplete.dlgr" in `folder`: where a stopped download goes.
std::string StoppedDownloadName(const std::string& folder, const DateTime& now) {
  std::string stem = AutoSaveFileName(now);
  stem.resize(stem.size() - 5);
  const std::filesystem::path base(folder.empty() ? "." : folder);
  return (base / (stem + "-incomplete.dlgr")).string();
}

}  // namespace

QWidget* LoggerCommands::BuildErasePicker(QWidget* parent) {
  picker_ = Named<QWidget>("PicErase", parent);
  auto* layout = new QHBoxLayout(picker_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel("Erase:", picker_));
  combo_ = Named<QComboBox>("ComboErase", picker_);
  combo_->setMinimumContentsLength(6);
  layout->addWidget(combo_);
  layout->addStretch(1);
  QObject::connect(combo_, &QComboBox::activated, picker_,
                   [this](int index) { EraseChosen(index); });
  picker_->hide();
  return picker_;
}

LoggerCommands::LoggerCommands(LiveSession& session, AppTimers& timers, Dialogs& dialogs,
                               Panel panel)
    : session_(session), timers_(timers), dialogs_(dialogs), panel_(std::move(panel)) {}

LoggerCommands::~LoggerCommands() = default;

void LoggerCommands::CloseWindows() {
  if (memory_) memory_->close();
  if (data_list_) data_list_->close();
  if (sampling_choice_) sampling_choice_->close();
  if (setup_) setup_->close();
}

std::optional<MemoryDirectory> LoggerCommands::ReadDirectory() {
  AppTimers::Pause pause(timers_);
  FlagGuard running(running_);
  try {
    MemoryDirectory directory = ReadMemoryDirectory(session_.link());
    if (directory.head_known()) return directory;
    panel_.tell(directory.problem);
  } catch (const LinkError& e) {
    panel_.tell(e.what());
  }
  return std::nullopt;
}

bool LoggerCommands::MayPauseRecording(const char* job) {
  return !session_.recorder().recording() || dialogs_.Ask(LinkJobGapQuestion(job));
}

void LoggerCommands::Memory() {
  if (!picker_->isHidden() || MemoryWindowOpen() || session_.link().Busy()) return;
  // The meter keeps its memory to itself while it measures; the click says
  // so instead of doing nothing.
  if (session_.reading().run) {
    panel_.note(kStopTheMeterFirst);
    return;
  }
  if (!MayPauseRecording("Reading the meter's memory")) return;
  const std::optional<MemoryDirectory> read = ReadDirectory();
  // A stop signal during the read closed the panel meanwhile.
  if (!read || stop_requested_) return;
  const MemoryDirectory& directory = *read;
  if (directory.sets.empty()) {
    // "No Data" only when the meter said so.
    if (directory.valid()) {
      dialogs_.Message(kNoDataInMemory, MessageIcon::kInformation);
    } else {
      panel_.tell(directory.problem);
    }
    return;
  }
  memory_ = std::make_unique<MemoryWindow>();
  memory_->on_set_clicked = [this](int row) { DownloadMemorySet(row); };
  memory_->Show(directory);
  panel_.show_beside(*memory_);
  // What could be listed is; what could not is said.
  if (!directory.valid()) panel_.tell(directory.problem);
}

void LoggerCommands::DownloadMemorySet(int row) {
  if (!memory_ || memory_->locked() || running_ || session_.link().Busy() ||
      session_.reading().run) {
    return;
  }
  if (row < 0 || row >= memory_->set_count()) return;
  const std::uint16_t number = memory_->EraseSetNumbers[static_cast<std::size_t>(row)];
  const int records = memory_->records_of(row);
  if (!MayPauseRecording("Downloading a set")) return;

  FlagGuard running(running_);
  AppTimers::Pause pause(timers_);
  memory_->SetLocked(true);
  DownloadHooks hooks;
  hooks.progress = [this](const DownloadProgress& progress) {
    memory_->Process_lbl->setText(Latin1(DownloadProgressCaption(progress)));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  // A stop signal ends the download at once.
  hooks.stop_requested = [this] { return stop_requested_; };
  SetReply reply;
  try {
    reply = DownloadSet(session_.link(), number, records, hooks);
  } catch (const LinkError& e) {
    memory_->SetLocked(false);
    panel_.tell(e.what());
    return;
  }
  memory_->SetLocked(false);

  DownloadedSet set = DecodeSetReply(reply.bytes, records, interval_);
  const DownloadOutcome outcome = JudgeDownload(reply, set);
  if (stop_requested_) {
    KeepStoppedDownload(set, row + 1, SetReplyEndText(reply));
    return;
  }
  std::string said;
  for (const std::string& line : outcome.lines) said += (said.empty() ? "" : "\n") + line;
  // Not one record arrived whole: there is nothing to list.
  if (outcome.nothing) return panel_.tell(said);
  std::string caption = "Data List - Set " + std::to_string(row + 1);
  if (!set.list.header().note.empty()) caption += " - " + set.list.header().note;
  data_list_ = std::make_unique<DataList>(dialogs_);
  data_list_->Load(std::move(set.list), caption);
  panel_.show_beside(*data_list_);
  if (!outcome.whole) {
    panel_.remark(said);
    dialogs_.Message(said, MessageIcon::kExclamation);
  }
}

void LoggerCommands::KeepStoppedDownload(const DownloadedSet& set, int position,
                                         const std::string& ended) {
  std::string message =
      "The download of set " + std::to_string(position) + " was stopped. " + ended;
  if (!set.list.empty()) {
    std::string path;
    try {
      path = CreateFreeFile(StoppedDownloadName(
          std::filesystem::path(session_.recorder().fake_path()).parent_path().string(),
          session_.recorder().Now()));
      SaveRecordList(path, set.list, Separator::kTab);
      message += "\n" + WholeNumberText(set.records_received) + " of " +
                 WholeNumberText(set.records_expected) +
                 " records arrived whole and were kept in " + path + ".";
    } catch (const DataFileError& e) {
      if (!path.empty()) RemoveQuietly(path);
      message += "\n" + std::string(e.what());
    }
  }
  panel_.remark(message);
  std::fprintf(stderr, "%s\n", message.c_str());
}

void LoggerCommands::Erase() {
  if (session_.link().Busy()) return;
  if (!MayPauseRecording("Reading the meter's memory")) return;
  if (memory_) memory_->close();
  const std::optional<MemoryDirectory> read = ReadDirectory();
  if (!read || stop_requested_) return;
  // Nothing is erased on a directory that did not read whole: its positions
  // and numbers may not be the meter's.
  if (!read->valid()) {
    panel_.tell(read->problem + "\nNothing can be erased until the directory reads whole.");
    return;
  }
  erase_directory_ = *read;
  combo_->clear();
  combo_->addItem("Exit");
  if (!erase_directory_.sets.empty()) {
    combo_->addItem("All");
    for (const MemorySet& set : erase_directory_.sets) {
      combo_->addItem(QString::number(set.position));
    }
  }
  picker_->show();
  if (erase_directory_.sets.empty()) {
    dialogs_.Message(kNoDataInMemory, MessageIcon::kInformation);
  }
}

void LoggerCommands::EraseChosen(int index) {
  picker_->hide();
  if (index <= 0 || running_ || session_.link().Busy()) return;
  const int position = index == 1 ? 0 : index - 1;
  if (position > static_cast<int>(erase_directory_.sets.size())) return;
  // The user sees what goes before it goes; the default answer keeps it.
  if (!dialogs_.Ask(EraseQuestion(erase_directory_, position))) return;
  FlagGuard running(running_);
  AppTimers::Pause pause(timers_);
  EraseResult result;
  try {
    // Only the set the user chose goes, wherever it is by now.
    result = EraseShownSet(session_.link(), erase_directory_, position);
  } catch (const LinkError& e) {
    result.message = e.what();
  }
  if (result.unknown) result.message += "\n" + std::string(kListBeforeRetry);
  erase_directory_ = {};
  if (result.confirmed) {
    panel_.note(result.message);
  } else {
    panel_.tell(result.message);
  }
}

void LoggerCommands::Sampling() {
  sampling_choice_ = std::make_unique<SamplingChoice>();
  sampling_choice_->on_ok = [this](SamplingOption option) { SamplingChosen(option); };
  panel_.show_beside(*sampling_choice_);
}

void LoggerCommands::SamplingChosen(SamplingOption option) {
  // Asks until the answer is a number; nothing when the user cancels.
  auto ask = [this](const char* prompt, const char* title, int current,
                    int high) -> std::optional<int> {
    for (;;) {
      const std::string answer = dialogs_.Input(prompt, title, std::to_string(current));
      if (answer.empty()) return std::nullopt;
      if (const std::optional<int> t = WholeSecondsAnswer(answer, 1, high)) return t;
      dialogs_.Message(SecondsAnswerRefused(answer, high), MessageIcon::kExclamation);
    }
  };
  switch (option) {
    case SamplingOption::kPc: {
      if (session_.recorder().recording()) {
        panel_.tell(kPeriodWhileRecording);
        return;
      }
      if (const auto t =
              ask(kPcSamplingPrompt, kSamplingTitle, session_.recorder().period(), 86400)) {
        session_.SetPeriod(*t);
      }
      return;
    }
    case SamplingOption::kMeter: {
      if (running_ || session_.link().Busy()) return;
      if (!MayPauseRecording("Setting the meter's sampling time")) return;
      FlagGuard running(running_);
      try {
        // The meter is asked, then left alone while the user answers.
        std::optional<int> current;
        {
          AppTimers::Pause pause(timers_);
          current = ReadSamplingTime(session_.link());
        }
        if (const auto t = ask(kMeterSamplingPrompt, kSamplingTitle, *current, 255)) {
          AppTimers::Pause pause(timers_);
          SetSamplingTime(session_.link(), *t);
        }
      } catch (const LinkError& e) {
        panel_.tell(e.what());
      }
      return;
    }
    case SamplingOption::kLoggerInterval:
      if (const auto t = ask(kIntervalPrompt, kIntervalTitle, interval_, 255)) {
        interval_ = *t;
      }
      return;
  }
}

void LoggerCommands::Rtc() {
  if (setup_ && setup_->isVisible()) return;
  if (!MayPauseRecording("The meter's clock window")) return;
  setup_ = std::make_unique<SetupWindow>(session_.link(), timers_, dialogs_, pc_clock);
  panel_.show_beside(*setup_);
}

}  // namespace slm
