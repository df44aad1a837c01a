// What the panel tells the user without stopping its work: the status strip,
// notices on a lost and a returning meter and a finished recording, the
// question when it is closed while recording, and the controls offline.
#include "panel/notices.h"

#include <QBoxLayout>
#include <QCloseEvent>

#include "windows/panel_window.h"

namespace slm {

namespace {

constexpr const char* kOfflineTip = "Offline Mode: no meter is connected.";

}  // namespace

void Panel::AddStatusStrip(QBoxLayout* root) {
  status_strip = new StatusStrip(this);
  root->addWidget(status_strip);
  ShowStatus();
}

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
  last_message_ = message;
  ShowStatus();
  context_.dialogs.Notice(message, MessageIcon::kInformation);
}

void Panel::DisableMeterControls() {
  for (QPushButton* key : face->keys) key->setEnabled(false);
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
  face->ClearLevel();
  charts->ClearAfterLinkLoss();
  ShowPanelList(true);
  ShowRunningValues();
  if (report.recording) {
    // The panel goes on; the notice does not wait for the user.
    Note(LinkLostNotice(report));
  } else {
    last_message_ = LinkLostNotice(report);
    ShowStatus();
  }
}

void Panel::ShowLinkRestored() {
  face->LblCOM->setText(QString::fromStdString(session_.link().PortLabel()));
  const LinkLossReport& loss = session_.last_loss();
  const std::string notice = LinkRestoredNotice(session_.link().PortLabel(), loss);
  if (loss.recording && session_.recorder().recording()) {
    Note(notice);
  } else {
    last_message_ = notice;
    ShowStatus();
  }
}

void Panel::CloseForSignal() {
  closing_for_signal_ = true;
  stop_requested_ = true;
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
  if (file_list_) file_list_->close();
  if (file_list_real_) file_list_real_->close();
  if (real_time_graph_) real_time_graph_->close();
  if (plot_) plot_->close();
  if (real_histogram_) real_histogram_->close();
  if (histogram_) histogram_->close();
  CloseLoggerWindows();
  event->accept();
  context_.exit_program(0);
}

}  // namespace slm
