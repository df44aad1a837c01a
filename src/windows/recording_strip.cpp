#include "windows/recording_strip.h"

#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "qt/widget_text.h"

namespace slm {

RecordingStrip::RecordingStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("RecordingStrip");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  CmdL = Named<QPushButton>("CmdL", "Leq", this);
  CmdL->setToolTip("Set up a time period (hh:nn:ss)");
  CmdL->setFocusPolicy(Qt::NoFocus);
  QObject::connect(CmdL, &QPushButton::clicked, this, [this] {
    if (on_launch) on_launch();
  });
  row->addWidget(CmdL);
  LblTimer = Named<QLabel>("LblTimer", "Sampling", this);
  LblSecond = Named<QLabel>("LblSecond", this);
  row->addWidget(LblTimer);
  row->addWidget(LblSecond);
  row->addStretch();
  LblRec = Named<QLabel>("LblRec", "Rec.", this);
  LblRec->hide();
  row->addWidget(LblRec);
  LblNo = Named<QLabel>("LblNo", "No.", this);
  LblCount = Named<QLabel>("LblCount", this);
  LblCount->setMinimumWidth(50);
  row->addWidget(LblNo);
  row->addWidget(LblCount);
  layout->addLayout(row);

  auto* file_row = new QHBoxLayout;
  LblFileName = Named<QLabel>("LblFileName", this);
  LblLeq = Named<QLabel>("LblLeq", this);
  LblSEL = Named<QLabel>("LblSEL", this);
  file_row->addWidget(LblFileName, 1);
  file_row->addWidget(LblLeq);
  file_row->addWidget(LblSEL);
  layout->addLayout(file_row);

  PicSave = Named<QGroupBox>("PicSave", "Save Data", this);
  auto* save = new QHBoxLayout(PicSave);
  OptSampling = Named<QRadioButton>("OptSampling", "By PC Sampling Rate", PicSave);
  OptSaveList = Named<QRadioButton>("OptSaveList", "Saving List Data", PicSave);
  CmdSaveOK = Named<QPushButton>("CmdSaveOK", "OK", PicSave);
  save->addWidget(OptSampling);
  save->addWidget(OptSaveList);
  save->addStretch();
  save->addWidget(CmdSaveOK);
  QObject::connect(CmdSaveOK, &QPushButton::clicked, this, [this] {
    if (on_save_ok) on_save_ok();
  });
  // Return or Enter anywhere in the box confirms it, as "OK" does.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* confirm = new QShortcut(QKeySequence(key), PicSave);
    confirm->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(confirm, &QShortcut::activated, CmdSaveOK, &QPushButton::click);
  }
  layout->addWidget(PicSave);
  PicSave->hide();
}

void RecordingStrip::Show(const PcRecorder& recorder) {
  LblSecond->setText(QString("%1 s").arg(recorder.period()));
  if (recorder.recording()) {
    // "Rec." marks a recording that has no sample yet.
    LblRec->setText(recorder.record_count() == 0 ? "Rec." : "Rec");
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

void RecordingStrip::ShowFileTitle(const std::string& title) {
  LblFileName->setText(QString::fromStdString(title));
}

void RecordingStrip::SetLaunchPeriod(LaunchPeriod launch) {
  launch.flag = launch_ ? !launch_->flag : true;
  launch_ = launch;
  LblTimer->setText(Latin1(launch.hours + ":" + launch.minutes + ":" + launch.seconds));
}

void RecordingStrip::OpenSaveBox() {
  OptSampling->setChecked(true);
  OptSaveList->setChecked(false);
  PicSave->show();
  // The keyboard goes on in the box: arrows choose, Return confirms.
  OptSampling->setFocus(Qt::ShortcutFocusReason);
}

}  // namespace slm
