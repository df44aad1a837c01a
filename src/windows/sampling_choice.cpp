#include "windows/sampling_choice.h"

#include <QVBoxLayout>

#include "qt/widget_text.h"

namespace slm {

SamplingChoice::SamplingChoice(QWidget* parent) : QWidget(parent, Qt::Dialog) {
  setObjectName("SamplingChoice");
  setWindowTitle(kSamplingChoiceCaption);
  setWindowModality(Qt::ApplicationModal);
  auto* root = new QVBoxLayout(this);
  OptPC = Named<QRadioButton>("OptPC", "PC Sampling Rate", this);
  OptMeter = Named<QRadioButton>("OptMeter", "Meter Sampling Rate", this);
  MDLIT_opt = Named<QRadioButton>("MDLIT_opt", "Meter Data Logger Interval Time", this);
  MDLIT_opt->setChecked(true);
  CmdOK = Named<QPushButton>("CmdOK", "OK", this);
  CmdOK->setDefault(true);
  root->addWidget(OptPC);
  root->addWidget(OptMeter);
  root->addWidget(MDLIT_opt);
  root->addWidget(CmdOK, 0, Qt::AlignRight);
  QObject::connect(CmdOK, &QPushButton::clicked, this, [this] { CmdOKClicked(); });
}

SamplingOption SamplingChoice::chosen() const {
  if (OptPC->isChecked()) return SamplingOption::kPc;
  if (OptMeter->isChecked()) return SamplingOption::kMeter;
  return SamplingOption::kLoggerInterval;
}

void SamplingChoice::CmdOKClicked() {
  const SamplingOption option = chosen();
  hide();
  if (on_ok) on_ok(option);
}

}  // namespace slm
