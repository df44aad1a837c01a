#include "windows/side_column.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollBar>

#include "qt/widget_text.h"

namespace slm {

SideColumn::SideColumn(const RecordList& list, QWidget* parent) : QWidget(parent), list_(list) {
  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(4, 0, 0, 0);

  auto* settings = new QHBoxLayout;
  settings->addWidget(Board("SSTW", "Time Weight", BoardSFI, "BoardSFI"));
  settings->addWidget(Board("SSFreq", "Freq Weight", BoardCA, "BoardCA"));
  settings->addWidget(Board("SSSR", "Level Range", BoardLevel, "BoardLevel"));
  column_->addLayout(settings);

  auto* values = new QHBoxLayout;
  QWidget* max_box = Board("SSMax", "Max dB", BoardMaxdB, "BoardMaxdB");
  BoardMaxTime = Named<QLabel>("BoardMaxTime", "", max_box);
  BoardMaxTime->setAlignment(Qt::AlignCenter);
  max_box->layout()->addWidget(BoardMaxTime);
  values->addWidget(max_box, 2);
  values->addWidget(Board("SSLeq", "Leq", BoardLeq, "BoardLeq"), 1);
  values->addWidget(Board("SSSEL", "SEL", BoardSEL, "BoardSEL"), 1);
  column_->addLayout(values);

  // The live assessment above the list, beside the charts: the charts are
  // the lower part's height anyway, so the panel grows no taller.
  auto* lower = new QHBoxLayout;
  auto* list_side = new QVBoxLayout;
  LiveFigures = Named<QGroupBox>("LiveFigures", "Live Assessment", this);
  figures_ = new QGridLayout(LiveFigures);
  figures_->setVerticalSpacing(0);
  figures_->setColumnStretch(1, 1);
  // Hidden offline, it keeps its room: the list stays where it is.
  QSizePolicy keep_room = LiveFigures->sizePolicy();
  keep_room.setRetainSizeWhenHidden(true);
  LiveFigures->setSizePolicy(keep_room);
  list_side->addWidget(LiveFigures);
  GridN = new RecordTable(this);
  GridModel = GridN->records();
  GridModel->SetList(&list_);
  list_side->addWidget(GridN, 1);
  lower->addLayout(list_side);
  charts = new LiveCharts(this);
  lower->addWidget(charts, 1);
  column_->addLayout(lower, 1);
}

QWidget* SideColumn::Board(const char* frame_name, const char* caption, QLabel*& value,
                           const char* name) {
  auto* box = Named<QGroupBox>(frame_name, caption);
  auto* layout = new QVBoxLayout(box);
  value = Named<QLabel>(name, "", box);
  value->setAlignment(Qt::AlignCenter);
  value->setProperty("board", true);
  value->setMinimumHeight(36);
  layout->addWidget(value);
  return box;
}

void SideColumn::ShowSettings(const PanelDisplay& display) {
  BoardCA->setText(Latin1(display.board_ca));
  BoardSFI->setText(Latin1(display.board_sfi));
  BoardLevel->setText(Latin1(display.board_level));
}

void SideColumn::ShowRunningValues(const RunningValues& values) {
  BoardLeq->setText(Latin1(values.leq_text));
  BoardSEL->setText(Latin1(values.sel_text));
  BoardMaxdB->setText(Latin1(values.max_text));
  BoardMaxTime->setText(Latin1(values.max_time));
}

void SideColumn::ShowFigures(const std::vector<std::pair<std::string, std::string>>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i == figure_labels_.size()) {
      const std::string n = std::to_string(i + 1);
      auto* label = Named<QLabel>(("LblFigure" + n).c_str(), "", LiveFigures);
      auto* value = Named<QLabel>(("LblFigureValue" + n).c_str(), "", LiveFigures);
      figures_->addWidget(label, static_cast<int>(i), 0);
      figures_->addWidget(value, static_cast<int>(i), 1);
      figure_labels_.emplace_back(label, value);
    }
    figure_labels_[i].first->setText(Latin1(rows[i].first));
    figure_labels_[i].second->setText(Latin1(rows[i].second));
  }
}

void SideColumn::ShowList(bool afresh) {
  if (afresh) {
    GridModel->SetList(&list_);
    return;
  }
  QScrollBar* bar = GridN->verticalScrollBar();
  const int before = bar->value();
  GridModel->Sync();
  // The list moves on by one row from where the user left it, so that
  // someone reading older rows keeps the place.
  if (GridModel->rowCount() > 3) bar->setValue(before + 1);
}

}  // namespace slm
