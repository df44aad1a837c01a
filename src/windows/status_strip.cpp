#include "windows/status_strip.h"

#include <QFontMetrics>
#include <QHBoxLayout>

#include "qt/widget_text.h"

namespace slm {

StatusStrip::StatusStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("StatusStrip");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 2, 4, 2);
  const QFontMetrics metrics(font());
  LblPortState = Named<QLabel>("LblPortState", this);
  LblPortState->setFixedWidth(metrics.horizontalAdvance("Offline  COM16") + 12);
  LblRecordingState = Named<QLabel>("LblRecordingState", this);
  LblRecordingState->setFixedWidth(
      metrics.horizontalAdvance("Rec a-long-recording-name.dlgr  99999 samples  999:59:59") + 12);
  LblLastMessage = Named<QLabel>("LblLastMessage", this);
  // A long message is cut at the strip's end rather than widening the panel.
  LblLastMessage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  LblLastMessage->setMinimumWidth(120);
  for (QLabel* label : {LblPortState, LblRecordingState, LblLastMessage}) {
    label->setFrameShape(QFrame::StyledPanel);
    label->setFixedHeight(metrics.height() + 8);
  }
  row->addWidget(LblPortState);
  row->addWidget(LblRecordingState);
  row->addWidget(LblLastMessage, 1);
}

void StatusStrip::Show(const PanelStatus& status) {
  LblPortState->setText(QString::fromStdString(status.port));
  LblRecordingState->setText(QString::fromStdString(status.recording));
  LblRecordingState->setToolTip(QString::fromStdString(status.recording));
  // The message's first line on the strip; all of it as the tooltip.
  const QString message = QString::fromStdString(status.message);
  LblLastMessage->setText(message.section('\n', 0, 0));
  LblLastMessage->setToolTip(message);
}

}  // namespace slm
