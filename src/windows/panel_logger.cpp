// The panel's side of the meter's data logger: the memory directory and the
// download of a set, erasing, the sampling times and the meter's clock.
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
#include "logger/meter_logger.h"
#include "panel/notices.h"
#include "platform/widget_text.h"
#include "windows/panel_window.h"
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

std::string RecordsListedText(int received, int expected) {
  return std::to_string(received) + " of " + std::to_string(expected) + " records";
}

// A name in `folder` that no file has yet: "mmddhhnnss-incomplete.dlgr",
// then "-2", "-3" ... before ".dlgr".
std::string UnusedPartName(const std::string& folder, const DateTime& now) {
  std::string stem = AutoSaveFileName(now);
  stem.resize(stem.size() - 5);
  stem += "-incomplete";
  const std::filesystem::path base(folder.empty() ? "." : folder);
  std::filesystem::path path = base / (stem + ".dlgr");
  for (int n = 2; std::filesystem::exists(path); ++n) {
    path = base / (stem + "-" + std::to_string(n) + ".dlgr");
  }
  return path.string();
}

}  // namespace

QWidget* Panel::BuildErasePicker(QWidget* parent) {
  auto* picker = Named<QWidget>("PicErase", parent);
  auto* layout = new QHBoxLayout(picker);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel("Erase:", picker));
  ComboErase = Named<QComboBox>("ComboErase", picker);
  ComboErase->setMinimumContentsLength(6);
  layout->addWidget(ComboErase);
  layout->addStretch(1);
  QObject::connect(ComboErase, &QComboBox::activated, this,
                   [this](int index) { EraseChosen(index); });
  return picker;
}

void Panel::CloseLoggerWindows() {
  if (memory_) memory_->close();
  if (data_list_) data_list_->close();
  if (sampling_choice_) sampling_choice_->close();
  if (setup_) setup_->close();
}

std::optional<MemoryDirectory> Panel::ReadDirectory() {
  AppTimers::Pause pause(context_.timers);
  FlagGuard running(command_running_);
  try {
    MemoryDirectory directory = ReadMemoryDirectory(session_.link());
    if (directory.head_known()) return directory;
    Tell(directory.problem);
  } catch (const LinkError& e) {
    Tell(e.what());
  }
  return std::nullopt;
}

bool Panel::MayPauseRecording(const char* job) {
  return !session_.recorder().recording() || context_.dialogs.Ask(LinkJobGapQuestion(job));
}

void Panel::MemoryCommand() {
  if (!PicErase->isHidden() || MemoryWindowOpen() || session_.link().Busy()) return;
  // The meter keeps its memory to itself while it measures; the click says
  // so instead of doing nothing.
  if (session_.reading().run) {
    Note(kStopTheMeterFirst);
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
      context_.dialogs.Message(kNoDataInMemory, MessageIcon::kInformation);
    } else {
      Tell(directory.problem);
    }
    return;
  }
  memory_ = std::make_unique<MemoryWindow>();
  memory_->on_set_clicked = [this](int row) { DownloadMemorySet(row); };
  memory_->Show(directory);
  ShowBeside(*memory_);
  // What could be listed is; what could not is said.
  if (!directory.valid()) Tell(directory.problem);
}

void Panel::DownloadMemorySet(int row) {
  if (!memory_ || memory_->locked() || command_running_ || session_.link().Busy() ||
      session_.reading().run) {
    return;
  }
  if (row < 0 || row >= memory_->set_count()) return;
  const std::uint16_t number = memory_->EraseSetNumbers[static_cast<std::size_t>(row)];
  const int records = memory_->records_of(row);
  if (!MayPauseRecording("Downloading a set")) return;

  FlagGuard running(command_running_);
  AppTimers::Pause pause(context_.timers);
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
    Tell(e.what());
    return;
  }
  memory_->SetLocked(false);

  DownloadedSet set = DecodeSetReply(reply.bytes, records, logger_interval_);
  const std::string ended = SetReplyEndText(reply);
  if (stop_requested_) {
    KeepStoppedDownload(set, row + 1, ended);
    return;
  }
  if (set.list.empty() && records > 0) {
    // Not one record arrived whole: there is nothing to list.
    Tell(ended.empty() ? StoppedSendingText(reply.bytes.size(), reply.expected) : ended);
    return;
  }
  std::string caption = "Data List - Set " + std::to_string(row + 1);
  if (!set.complete()) {
    caption += " - incomplete: " + RecordsListedText(set.records_received, set.records_expected);
  }
  std::string said;
  if (!set.complete()) {
    said = ended + "\n" + RecordsListedText(set.records_received, set.records_expected) +
           " are listed.";
  }
  for (const std::string& problem : set.problems) said += (said.empty() ? "" : "\n") + problem;
  const bool complete = set.complete();
  data_list_ = std::make_unique<DataList>(context_.dialogs);
  data_list_->Load(std::move(set.list), caption);
  data_list_->set_field = set.set_field;
  ShowBeside(*data_list_);
  if (!said.empty()) {
    last_message_ = said;
    ShowStatus();
    context_.dialogs.Message(said,
                             complete ? MessageIcon::kInformation : MessageIcon::kExclamation);
  }
}

void Panel::KeepStoppedDownload(const DownloadedSet& set, int position, const std::string& ended) {
  std::string message =
      "The download of set " + std::to_string(position) + " was stopped. " + ended;
  if (set.list.empty()) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return;
  }
  const std::string path =
      UnusedPartName(std::filesystem::path(session_.recorder().fake_path()).parent_path().string(),
                     session_.recorder().Now());
  try {
    SaveRecordList(path, set.list, Separator::kTab);
    message += "\n" + RecordsListedText(set.records_received, set.records_expected) +
               " arrived whole and were kept in " + path + ".";
  } catch (const DataFileError& e) {
    message += "\n" + std::string(e.what());
  }
  last_message_ = message;
  std::fprintf(stderr, "%s\n", message.c_str());
}

void Panel::EraseCommand() {
  if (session_.link().Busy()) return;
  if (!MayPauseRecording("Reading the meter's memory")) return;
  if (memory_) memory_->close();
  const std::optional<MemoryDirectory> read = ReadDirectory();
  if (!read || stop_requested_) return;
  // Nothing is erased on a directory that did not read whole: its positions
  // and numbers may not be the meter's.
  if (!read->valid()) {
    Tell(read->problem + "\nNothing can be erased until the directory reads whole.");
    return;
  }
  erase_directory_ = *read;
  ComboErase->clear();
  ComboErase->addItem("Exit");
  if (!erase_directory_.sets.empty()) {
    ComboErase->addItem("All");
    for (const MemorySet& set : erase_directory_.sets) {
      ComboErase->addItem(QString::number(set.position));
    }
  }
  PicErase->show();
  if (erase_directory_.sets.empty()) {
    context_.dialogs.Message(kNoDataInMemory, MessageIcon::kInformation);
  }
}

void Panel::EraseChosen(int index) {
  PicErase->hide();
  if (index <= 0 || command_running_ || session_.link().Busy()) return;
  const int position = index == 1 ? 0 : index - 1;
  if (position > static_cast<int>(erase_directory_.sets.size())) return;
  // The user sees what goes before it goes; the default answer keeps it.
  if (!context_.dialogs.Ask(EraseQuestion(erase_directory_, position))) return;
  FlagGuard running(command_running_);
  AppTimers::Pause pause(context_.timers);
  EraseResult result;
  try {
    result = EraseAndConfirm(session_.link(), erase_directory_, position);
  } catch (const LinkError& e) {
    result.message = e.what();
  }
  erase_directory_ = {};
  if (result.confirmed) {
    Note(result.message);
  } else {
    Tell(result.message);
  }
}

void Panel::SamplingCommand() {
  sampling_choice_ = std::make_unique<SamplingChoice>();
  sampling_choice_->on_ok = [this](SamplingOption option) { SamplingChosen(option); };
  ShowBeside(*sampling_choice_);
}

void Panel::SamplingChosen(SamplingOption option) {
  // Asks until the answer is a number; nothing when the user cancels.
  auto ask = [this](const char* prompt, const char* title, int current,
                    int high) -> std::optional<int> {
    for (;;) {
      const std::string answer = context_.dialogs.Input(prompt, title, std::to_string(current));
      if (answer.empty()) return std::nullopt;
      if (const std::optional<int> t = WholeSecondsAnswer(answer, 1, high)) return t;
    }
  };
  switch (option) {
    case SamplingOption::kPc: {
      if (session_.recorder().recording()) {
        Tell(kPeriodWhileRecording);
        return;
      }
      if (const auto t =
              ask(kPcSamplingPrompt, kSamplingTitle, session_.recorder().period(), 86400)) {
        session_.SetPeriod(*t);
      }
      return;
    }
    case SamplingOption::kMeter: {
      if (command_running_ || session_.link().Busy()) return;
      if (!MayPauseRecording("Setting the meter's sampling time")) return;
      FlagGuard running(command_running_);
      try {
        // The meter is asked, then left alone while the user answers.
        std::optional<int> current;
        {
          AppTimers::Pause pause(context_.timers);
          current = ReadSamplingTime(session_.link());
        }
        if (const auto t = ask(kMeterSamplingPrompt, kSamplingTitle, *current, 255)) {
          AppTimers::Pause pause(context_.timers);
          SetSamplingTime(session_.link(), *t);
        }
      } catch (const LinkError& e) {
        Tell(e.what());
      }
      return;
    }
    case SamplingOption::kLoggerInterval:
      if (const auto t = ask(kIntervalPrompt, kIntervalTitle, logger_interval_, 255)) {
        logger_interval_ = *t;
      }
      return;
  }
}

void Panel::RtcCommand() {
  if (setup_ && setup_->isVisible()) return;
  if (!MayPauseRecording("The meter's clock window")) return;
  setup_ =
      std::make_unique<SetupWindow>(session_.link(), context_.timers, context_.dialogs, pc_clock);
  ShowBeside(*setup_);
}

}  // namespace slm
