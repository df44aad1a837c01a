// The panel's side of the meter's data logger: the memory directory and the
// download of a set, erasing, the sampling times and the meter's clock.
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <optional>
#include <string>

#include "base/flag_guard.h"
#include "logger/meter_logger.h"
#include "panel/panel_feedback.h"
#include "ui/widget_text.h"
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
  try {
    return ReadMemoryDirectory(session_.link());
  } catch (const LinkError& e) {
    Tell(e.what());
    return std::nullopt;
  }
}

bool Panel::MayPauseRecording(const char* job) {
  return !session_.recorder().recording() || context_.dialogs.Ask(LinkJobGapQuestion(job));
}

void Panel::MemoryCommand() {
  if (!PicErase->isHidden() || MemoryWindowOpen()) return;
  // The meter keeps its memory to itself while it measures; the click says
  // so instead of doing nothing.
  if (session_.reading().run) {
    Note(kStopTheMeterFirst);
    return;
  }
  if (!MayPauseRecording("Reading the meter's memory")) return;
  const std::optional<MemoryDirectory> read = ReadDirectory();
  if (!read) return;
  const MemoryDirectory& directory = *read;
  if (directory.sets.empty()) {
    context_.dialogs.Message(kNoDataInMemory, MessageIcon::kInformation);
    return;
  }
  memory_ = std::make_unique<MemoryWindow>();
  memory_->on_set_clicked = [this](int row) { DownloadMemorySet(row); };
  memory_->Show(directory);
  ShowBeside(*memory_);
}

void Panel::DownloadMemorySet(int row) {
  if (!memory_ || memory_->locked() || command_running_ || session_.reading().run) return;
  if (row < 0 || row >= memory_->set_count()) return;
  const std::uint16_t number = memory_->EraseSetNumbers[static_cast<std::size_t>(row)];
  const int records = memory_->records_of(row);
  if (!MayPauseRecording("Downloading a set")) return;

  FlagGuard running(command_running_);
  AppTimers::Pause pause(context_.timers);
  memory_->SetLocked(true);
  SetReply reply;
  try {
    reply = DownloadSet(
        session_.link(), number, records, [this](std::size_t received, std::size_t expected) {
          memory_->Process_lbl->setText(Latin1(DownloadProgressCaption(received, expected)));
          QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
  } catch (const LinkError& e) {
    memory_->SetLocked(false);
    Tell(e.what());
    return;
  }
  memory_->SetLocked(false);

  DownloadedSet set = DecodeSetReply(reply.bytes, records, logger_interval_);
  if (set.list.empty() && records > 0) {
    // Not one record arrived whole: there is nothing to list.
    Tell(StoppedSendingText(reply.bytes.size(), reply.expected));
    return;
  }
  std::string caption = "Data List - Set " + std::to_string(row + 1);
  const bool complete = reply.complete() && set.complete();
  if (!complete) {
    caption += " - incomplete: " + RecordsListedText(set.records_received, set.records_expected);
  }
  data_list_ = std::make_unique<DataList>(context_.dialogs);
  data_list_->Load(std::move(set.list), caption);
  data_list_->set_field = set.set_field;
  ShowBeside(*data_list_);
  if (!complete) {
    context_.dialogs.Message(StoppedSendingText(reply.bytes.size(), reply.expected) + "\n" +
                                 RecordsListedText(set.records_received, set.records_expected) +
                                 " are listed.",
                             MessageIcon::kExclamation);
  }
}

void Panel::EraseCommand() {
  if (!MayPauseRecording("Reading the meter's memory")) return;
  if (memory_) memory_->close();
  const std::optional<MemoryDirectory> read = ReadDirectory();
  if (!read) return;
  const MemoryDirectory& directory = *read;
  ComboErase->clear();
  erase_numbers_.clear();
  ComboErase->addItem("Exit");
  if (!directory.sets.empty()) {
    ComboErase->addItem("All");
    for (const MemorySet& set : directory.sets) {
      ComboErase->addItem(QString::number(set.position));
      erase_numbers_.push_back(set.number);
    }
  }
  PicErase->show();
  if (directory.sets.empty()) context_.dialogs.Message(kNoDataInMemory, MessageIcon::kInformation);
}

void Panel::EraseChosen(int index) {
  PicErase->hide();
  if (index <= 0) return;
  const std::size_t set = static_cast<std::size_t>(index - 2);
  if (index >= 2 && set >= erase_numbers_.size()) return;
  AppTimers::Pause pause(context_.timers);
  try {
    if (index == 1) {
      EraseAll(session_.link());
    } else {
      EraseSet(session_.link(), erase_numbers_[set]);
    }
  } catch (const LinkError& e) {
    Tell(e.what());
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
      if (!MayPauseRecording("Setting the meter's sampling time")) return;
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
