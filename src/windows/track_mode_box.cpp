#include "windows/track_mode_box.h"

#include <QVBoxLayout>

#include "qt/widget_text.h"

namespace slm {

TrackModeBox::TrackModeBox(GraphWindow window, Graph& graph, Dialogs& dialogs, QWidget* parent)
    : QGroupBox("Track Mode", parent), window_(window), graph_(graph), dialogs_(dialogs) {
  setObjectName("SSFrame3");
  auto* layout = new QVBoxLayout(this);
  Combo1 = Named<QComboBox>("Combo1", this);
  for (const std::string& entry : TrackModeList(window)) Combo1->addItem(Latin1(entry));
  Combo1->setAccessibleName("Track Mode");
  txtDescription = Named<QLabel>("txtDescription", this);
  txtDescription->setWordWrap(true);
  txtDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(Combo1);
  layout->addWidget(txtDescription);
  QObject::connect(Combo1, &QComboBox::activated, this, [this](int position) { Choose(position); });
}

void TrackModeBox::Choose(int position) {
  const std::optional<TrackAction> action = TrackActionFor(window_, position);
  if (!action) {
    dialogs_.Message(kSelectValidTrackMode, MessageIcon::kExclamation);
  } else {
    if (Combo1->currentIndex() != position) Combo1->setCurrentIndex(position);
    for (const TrackStep& step : action->steps) Run(step);
  }
  if ((!action || action->hide_list_panel) && on_hide_list &&
      (window_ == GraphWindow::kHistogram || window_ == GraphWindow::kRealHistogram)) {
    on_hide_list();
  }
}

void TrackModeBox::SetNormal() {
  Combo1->setCurrentIndex(0);
  graph_.SetTrackMode(TrackMode::kNormal);
  txtDescription->setText(QString::fromUtf8(TrackModeDescription(window_, TrackMode::kNormal)));
}

void TrackModeBox::Run(const TrackStep& step) {
  switch (step.kind) {
    case TrackStep::Kind::kSetMode:
      graph_.SetTrackMode(step.mode);
      txtDescription->setText(QString::fromUtf8(step.text));
      break;
    case TrackStep::Kind::kSetModeOnly:
      graph_.SetTrackMode(step.mode);
      break;
    case TrackStep::Kind::kRemoveCursors:
      if (graph_.CursorCount() > 0) graph_.RemoveAllCursors();
      break;
    case TrackStep::Kind::kCursorsOff:
      for (int n = 1; n <= std::min(2, graph_.CursorCount()); ++n)
        graph_.SetCursorEnabled(n, false);
      break;
    case TrackStep::Kind::kCursorToCentre: {
      if (graph_.CursorCount() == 0) graph_.AddCursor(Qt::red);
      graph_.SetCursorEnabled(1, true);
      const AxisRange x = graph_.XRange();
      const AxisRange y = graph_.YRange();
      graph_.SetCursorPosition(1, (x.min + x.max) / 2, (y.min + y.max) / 2);
      break;
    }
    case TrackStep::Kind::kResetAxes:
      if (on_reset_axes) on_reset_axes();
      break;
  }
}

}  // namespace slm
