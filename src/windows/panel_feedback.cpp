// What the panel tells the user without stopping its work: the status strip,
// notices on a lost and a returning meter and a finished recording, the
// question when it is closed while recording, and the controls offline.
#include <QCloseEvent>

#include "live/notices.h"
#include "live/toolbar_keys.h"
#include "qt/widget_text.h"
#include "windows/panel_window.h"

namespace slm {

namespace {

constexpr const char* kOfflineTip = "Offline Mode: no meter is connected.";

}  // namespace

PanelState Panel::State() const {
  PanelState state;
  state.offline = choice_.offline;
  state.meter_lost = !session_.link().IsOpen() || !session_.sampling();
  state.port_label = session_.link().PortLabel();
  state.last_message = last_message_;
  return state;
}

void Panel::ShowStatus() {
  if (status_strip != nullptr) {
    status_strip->Show(DescribePanelStatus(State(), session_.recorder()));
  }
}

void Panel::Note(const std::string& message) {
  if (message.empty()) return;
  Remark(message);
  context_.dialogs.Notice(message, MessageIcon::kInformation);
}

void Panel::Remark(const std::string& message) {
  last_message_ = message;
  ShowStatus();
}

void Panel::ShowMeterReach() {
  // What needs the meter works only while it answers, and says why not
  // otherwise; offline nothing of the meter is offered, nor a recording.
  const bool reachable = !choice_.offline && session_.link().IsOpen() && !session_.link().Lost();
  const std::string reason = choice_.offline
                                 ? kOfflineTip
                                 : NoMeterTip(session_.link().PortLabel() == "No COM"
                                                  ? "COM" + std::to_string(choice_.port_number)
                                                  : session_.link().PortLabel());
  if (!choice_.offline) face->SetKeysReachable(reachable, Latin1(reason));
  for (std::size_t i = 0; i < kToolbarKeys.size(); ++i) {
    const ToolbarKey& key = kToolbarKeys[i];
    if (!key.needs_meter && !(choice_.offline && key.key != "Open")) continue;
    QAction* action = ToolbarButton(static_cast<int>(i) + 1);
    action->setEnabled(reachable);
    action->setToolTip(Latin1(reachable ? key.tip : reason));
  }
  if (!choice_.offline) return;
  strip->CmdL->setEnabled(false);
  strip->CmdL->setToolTip(kOfflineTip);
  strip->PicSave->setEnabled(false);
  strip->PicSave->setToolTip(kOfflineTip);
}

void Panel::NoteFinishedRecording() {
  if (const auto& finished = session_.recorder().last_finished()) {
    Note(RecordingFinishedNotice(*finished));
  }
}

void Panel::ShowLinkLost(const LinkLossReport& report) {
  ShowRecordingState();
  face->LblCOM->setText("No COM");
  ShowMeterReach();
  face->ClearLevel();
  side->charts->ClearAfterLinkLoss();
  side->ShowList(true);
  side->ShowRunningValues(session_.recorder().panel());
  figures_.Reset();
  ShowFigures();
  // The panel goes on; a recording's notice does not wait for the user.
  if (report.recording) {
    Note(LinkLostNotice(report));
  } else {
    Remark(LinkLostNotice(report));
  }
}

void Panel::ShowLinkRestored() {
  face->LblCOM->setText(QString::fromStdString(session_.link().PortLabel()));
  ShowMeterReach();
  const LinkLossReport& loss = session_.last_loss();
  const std::string notice = LinkRestoredNotice(session_.link().PortLabel(), loss);
  if (loss.recording && session_.recorder().recording()) {
    Note(notice);
  } else {
    Remark(notice);
  }
}

void Panel::CloseForSignal() {
  closing_for_signal_ = true;
  logger_.Stop();
  close();
}

void Panel::closeEvent(QCloseEvent* event) {
  // The user decides what becomes of a running recording; a stop signal
  // cannot wait for an answer and ends it into its file.
  if (!closing_for_signal_ && session_.recorder().recording() &&
      !context_.dialogs.Ask(CloseWhileRecordingQuestion(session_.recorder()))) {
    event->ignore();
    return;
  }
  closing_for_signal_ = false;
  context_.timers.StopBoth();
  // A recording still running is written to its file before the program ends.
  Tell(session_.EndRecording());
  windows_.CloseAll();
  logger_.CloseWindows();
  event->accept();
  context_.exit_program(0);
}

}  // namespace slm
