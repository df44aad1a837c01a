#include "windows/live_charts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/widget_text.h"

namespace slm {

namespace {

QWidget* ChartPlace(QWidget* parent, const char* name, const QString& axis) {
  auto* frame = Named<QFrame>(name, parent);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setMinimumHeight(120);
  frame->setAccessibleName(axis);
  auto* layout = new QVBoxLayout(frame);
  auto* caption = new QLabel(axis, frame);
  caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  caption->setWordWrap(true);
  caption->setStyleSheet("color: #667;");
  layout->addWidget(caption);
  layout->addStretch();
  return frame;
}

}  // namespace

LiveCharts::LiveCharts(QWidget* parent) : QWidget(parent) {
  setObjectName("LiveCharts");
  auto* charts = new QVBoxLayout(this);
  charts->setContentsMargins(0, 0, 0, 0);
  auto* choice = new QHBoxLayout;
  const char* const captions[3] = {"SPL", "Leq", "SEL"};
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(captions[i], this);
    option->setObjectName(QString("SSOpt(%1)").arg(i));
    QObject::connect(option, &QRadioButton::clicked, this, [this, i] { Choose(i); });
    SSOpt[static_cast<size_t>(i)] = option;
    choice->addWidget(option);
  }
  SSOpt[0]->setChecked(true);
  choice->addStretch();
  charts->addLayout(choice);
  CWG = ChartPlace(this, "CWG", "SPL (dB)");
  CWLeq = ChartPlace(this, "CWLeq", "Leq (dB)");
  CWSEL = ChartPlace(this, "CWSEL", "SEL (dB)");
  CWLeq->hide();
  CWSEL->hide();
  for (QWidget* w : {CWG, CWLeq, CWSEL}) charts->addWidget(w, 2);
  auto* histograms = new QHBoxLayout;
  CWInt = ChartPlace(this, "CWInt", "Frequency (Times), 1 dB");
  CWDec = ChartPlace(this, "CWDec", "Frequency (Times), 0.1 dB");
  histograms->addWidget(CWInt);
  histograms->addWidget(CWDec);
  charts->addLayout(histograms, 1);
}

void LiveCharts::Choose(int index) {
  SSOpt[static_cast<size_t>(index)]->setChecked(true);
  CWG->setVisible(index == 0);
  CWLeq->setVisible(index == 1);
  CWSEL->setVisible(index == 2);
}

void LiveCharts::Show(const LiveChartUpdate& update) {
  CWDec->setVisible(update.fine_visible);
  CWInt->setVisible(!update.fine_visible);
}

}  // namespace slm
