// The panel's PC sampling, recording, toolbar commands and what it does when
// the meter is lost or found again.
#include <QCoreApplication>
#include <QScrollBar>
#include <QTime>

#include "base/calendar.h"
#include "base/flag_guard.h"
#include "files/data_file_reader.h"
#include "files/file_io.h"
#include "files/list_summary.h"
#include "live/toolbar_keys.h"
#include "qt/widget_text.h"
#include "ui/icons.h"
#include "ui/qt_dialogs.h"
#include "ui/user_settings.h"
#include "windows/panel_window.h"

namespace slm {

void Panel::Tell(const std::string& message) {
  if (message.empty()) return;
  last_message_ = message;
  ShowStatus();
  context_.dialogs.Message(message, MessageIcon::kCritical);
}

void Panel::ShowRecordingState() {
  strip->Show(session_.recorder());
  ShowStatus();
}

void Panel::SetSaveButtonRecording(bool recording) {
  QAction* save = ToolbarButton(1);
  if (recording) {
    save->setIcon(GlyphIcon(Glyph::kStop, QColor(0xc6, 0x28, 0x28)));
    save->setText("Stop");
    save->setIconText("Stop");
    save->setToolTip("Stop Recording");
  } else {
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setText("Save...");
    save->setIconText("Save");
    save->setToolTip("Save As");
  }
}

void Panel::Timer2Tick() {
  const SampleResult result = session_.Sample();
  // The timer fires a little after the next second falls due.
  context_.timers.Timer2.setInterval(session_.MillisecondsToNextSecond());
  if (!result.taken) return;
  ShowStatus();
  const PcRecorder::TickResult& tick = result.recorder;
  side->ShowRunningValues(session_.recorder().panel());
  if (tick.sampled) {
    if (const std::optional<std::int64_t> time =
            ParseClockText(session_.recorder().sample_time())) {
      figures_.Add(*time, session_.reading().level_text, session_.recorder().period());
    }
  }
  ShowFigures();
  if (tick.list_changed) side->ShowList(!tick.auto_saved.empty());
  if (result.charts) side->charts->Show(*result.charts, session_.charts());
  if (result.was_recording && !session_.recorder().recording()) SetSaveButtonRecording(false);
  if (tick.sampled || tick.recording_ended) ShowRecordingState();
  if (tick.part_written) {
    Note(RecordingPartNotice(*tick.part_written, session_.recorder().part_path()));
  }
  Tell(tick.message);
}

void Panel::ShowFigures() {
  side->ShowFigures(figures_.Rows(LinearSeconds(session_.recorder().Now())));
}

void Panel::ToolbarClicked(const QString& key) {
  strip->PicSave->hide();
  if (command_running_ || logger_.busy()) return;
  // What was said of the last command is not left to stand for this one.
  last_message_.clear();
  ShowStatus();
  const std::string name = key.toStdString();
  if (const std::string_view letter = ToolbarLetter(name); !letter.empty()) {
    SendToolbarCommand(letter);
  } else if (name == "Save") {
    SaveCommand();
  } else if (name == "Open") {
    OpenCommand();
  } else if (name == "Refresh") {
    RefreshCommand();
  } else if (name == "Memory") {
    logger_.Memory();
  } else if (name == "Erase") {
    logger_.Erase();
  } else if (name == "Sampling") {
    logger_.Sampling();
  } else if (name == "RTC") {
    logger_.Rtc();
  }
}

void Panel::SaveCommand() {
  if (session_.recorder().recording()) {
    // A reflex Ctrl+S must not end a long recording: the user confirms, and
    // the default keeps it running. The samples go on meanwhile.
    if (!context_.dialogs.Ask(kStopRecordingQuestion, "Stop Recording") ||
        !session_.recorder().recording()) {
      return;
    }
    const std::string message = session_.EndRecording();
    SetSaveButtonRecording(false);
    ShowRecordingState();
    if (message.empty()) NoteFinishedRecording();
    Tell(message);
    return;
  }
  strip->OpenSaveBox();
}

void Panel::CmdSaveOKClicked() {
  strip->PicSave->hide();
  PcRecorder& recorder = session_.recorder();
  if (recorder.recording()) return;
  if (strip->save_mode() == 1) {
    const FileChoice choice = context_.dialogs.SaveFile(kSaveFilter);
    if (!choice.chosen()) return;
    std::string moved_aside;
    try {
      moved_aside = session_.StartRecording(choice.path, SeparatorForFilter(choice.filter_index));
    } catch (const DataFileError& e) {
      Tell(std::string(e.what()) + "\nThe recording did not start.");
      return;
    }
    SetSaveButtonRecording(true);
    ShowRecordingState();
    strip->ShowFileTitle(choice.Title());
    // A recording an earlier run left unsaved was kept under a name of its own.
    if (!moved_aside.empty()) {
      context_.dialogs.Message(LeftoverRecordingMessage(moved_aside), MessageIcon::kInformation);
    }
    return;
  }
  const FileChoice choice = context_.dialogs.SaveFile(kSaveFilter);
  if (!choice.chosen()) return;
  // Sampling goes on meanwhile; the list is saved as it was when the save began.
  BusyCursor busy;
  try {
    recorder.SaveList(choice.path, SeparatorForFilter(choice.filter_index), session_.Captions());
  } catch (const DataFileError& e) {
    Tell(e.what());
  }
}

void Panel::OpenCommand() {
  if (session_.recorder().recording()) {
    context_.dialogs.Message(kRecordingMode, MessageIcon::kCritical);
    return;
  }
  const FileChoice choice = context_.dialogs.OpenFile(kOpenFilter);
  if (!choice.chosen()) return;
  OpenPath(choice.path);
}

void Panel::OpenPath(const std::string& path) {
  if (session_.recorder().recording()) {
    context_.dialogs.Message(kRecordingMode, MessageIcon::kCritical);
    return;
  }
  FlagGuard running(command_running_);
  const QString caption = windowTitle();
  DataFile file;
  try {
    BusyCursor busy;
    file = OpenDataFile(path, [this](const ReadProgress& progress) {
      setWindowTitle(Latin1(progress.caption));
      context_.keep_alive();
      return true;
    });
  } catch (const DataFileError& e) {
    setWindowTitle(caption);
    Tell(e.what());
    return;
  }
  setWindowTitle(caption);
  menu->AddRecentFile(path);
  windows_.ShowFile(std::move(file), path);
}

void Panel::RefreshCommand() {
  session_.Refresh();
  side->charts->ClearAll();
  side->ShowList(true);
  // The figures start again with the settings the Assessment window has now.
  figures_.Reset(PanelAssessmentSettings(RememberedAssessmentSettings()));
  ShowFigures();
}

void Panel::SendToolbarCommand(std::string_view letter) {
  // Not inside another exchange's waits: the letter would land among its bytes.
  if (!session_.link().IsOpen() || session_.link().Busy()) return;
  AppTimers::Pause pause(context_.timers);
  try {
    session_.link().SendCommand(Bytes(letter));
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
    launch->set_at_second = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    strip->SetLaunchPeriod(*launch);
    return;
  }
}

}  // namespace slm
