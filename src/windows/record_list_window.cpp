#include "windows/record_list_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/list_report.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "qt/widget_text.h"
#include "ui/icons.h"
#include "ui/keep_alive.h"
#include "ui/keyboard.h"
#include "ui/qt_dialogs.h"

namespace slm {

namespace {

const char* Caption(RecordListWindow::Kind kind) {
  switch (kind) {
    case RecordListWindow::Kind::kFileList:
      return "File List";
    case RecordListWindow::Kind::kFileListReal:
      return "File List Real";
    case RecordListWindow::Kind::kDataList:
      return "Data List";
  }
  return "";
}

// The records with the "No.s" column centred, as the Data List shows them.
class CentredNumbers : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::TextAlignmentRole && index.column() == 0) {
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    return QIdentityProxyModel::data(index, role);
  }
};

}  // namespace

RecordListWindow::RecordListWindow(Kind kind, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), kind_(kind), dialogs_(dialogs) {
  const char* const names[] = {"FileList", "FileListReal", "DataList"};
  setObjectName(names[static_cast<int>(kind)]);
  setWindowTitle(Caption(kind));
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);

  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setIconSize(QSize(28, 28));
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  const QColor blue(0x2f, 0x6f, 0xb0);
  auto add = [this](const QIcon& icon, const char* key, const char* tip, QKeySequence shortcut) {
    QAction* action = Toolbar1->addAction(icon, key);
    action->setObjectName(key);
    action->setShortcut(shortcut);
    action->setToolTip(tip);
    QObject::connect(action, &QAction::triggered, this, [this, key] { ToolbarClicked(key); });
  };
  if (kind == Kind::kDataList) {
    add(style()->standardIcon(QStyle::SP_DialogSaveButton), "Save", "Save As",
        QKeySequence(Qt::CTRL | Qt::Key_S));
  } else {
    add(TextIcon("~", blue), "Plot", kind == Kind::kFileList ? "Plot" : "Graphic Plot",
        QKeySequence(Qt::CTRL | Qt::Key_G));
    add(TextIcon("Ln", blue), "Ln", "Histogram", QKeySequence(Qt::CTRL | Qt::Key_H));
  }
  add(TextIcon("A", blue), "Assess", "Assessment: periods, Lden, events and exclusions",
      QKeySequence(Qt::CTRL | Qt::Key_E));
  add(TextIcon("P", QColor(0x4a, 0x55, 0x60)), "Print", "Print", PrintShortcut());
  TabReachesToolButtons(*Toolbar1);
  root->addWidget(Toolbar1);

  PicResolution = new QWidget(this);
  PicResolution->setObjectName("PicResolution");
  auto* resolution = new QHBoxLayout(PicResolution);
  auto* frame = new QGroupBox("Resolution", PicResolution);
  frame->setObjectName("SSFrame1");
  auto* frame_layout = new QHBoxLayout(frame);
  Cmd01dB = new QPushButton("0.1 dB", frame);
  Cmd01dB->setObjectName("Cmd01dB");
  Cmd1dB = new QPushButton("1 dB", frame);
  Cmd1dB->setObjectName("Cmd1dB");
  // The choice is put away once the statistics are shown. Return, as Space,
  // presses the button that has the focus.
  for (auto [button, resolution] :
       {std::pair{Cmd01dB, StatResolution::kTenth}, std::pair{Cmd1dB, StatResolution::kWhole}}) {
    button->setAutoDefault(true);
    QObject::connect(button, &QPushButton::clicked, this, [this, resolution = resolution] {
      if (on_statistics) on_statistics(resolution);
      PicResolution->hide();
    });
  }
  frame_layout->addWidget(Cmd01dB);
  frame_layout->addWidget(Cmd1dB);
  resolution->addWidget(frame);
  resolution->addStretch();
  root->addWidget(PicResolution);
  PicResolution->hide();
  if (kind == Kind::kDataList) PicResolution->setEnabled(false);

  auto* body = new QHBoxLayout;
  GridN = new RecordTable(this);
  GridModel = GridN->records();
  GridModel->SetList(&list_);
  if (kind == Kind::kDataList) {
    auto* centred = new CentredNumbers(GridN);
    centred->setSourceModel(GridModel);
    int widths[3];
    for (int column = 0; column < 3; ++column) widths[column] = GridN->columnWidth(column);
    GridN->setModel(centred);
    for (int column = 0; column < 3; ++column) GridN->setColumnWidth(column, widths[column]);
  }
  body->addWidget(GridN, 1);

  auto* results = new QWidget(this);
  auto* grid = new QGridLayout(results);
  grid->setVerticalSpacing(4);
  int row = 0;
  BoardCA = AddBoard(results, grid, row++, "SSFreq", kFreqWeightCaption, "BoardCA");
  BoardSFI = AddBoard(results, grid, row++, "SSTW", kTimeWeightCaption, "BoardSFI");
  BoardLevel = AddBoard(results, grid, row++, "SSSR", kLevelRangeCaption, "BoardLevel");
  BoardMaxdB = AddBoard(results, grid, row++, "SSMax", kMaxDbCaption, "BoardMaxdB");
  BoardMaxTime = new QLabel(results);
  BoardMaxTime->setObjectName("BoardMaxTime");
  grid->addWidget(BoardMaxTime, row++, 1);
  if (kind == Kind::kDataList) {
    BoardPeakdB = AddBoard(results, grid, row++, "SSPeak", "Peak", "BoardPeakdB");
    BoardPeakTime = new QLabel(results);
    BoardPeakTime->setObjectName("BoardPeakTime");
    grid->addWidget(BoardPeakTime, row++, 1);
  }
  if (kind != Kind::kFileListReal) {
    Board05 = AddBoard(results, grid, row++, "SS05", "L 05", "Board05");
    Board10 = AddBoard(results, grid, row++, "SS10", "L 10", "Board10");
    Board50 = AddBoard(results, grid, row++, "SS50", "L 50", "Board50");
    Board90 = AddBoard(results, grid, row++, "SS90", "L 90", "Board90");
    Board95 = AddBoard(results, grid, row++, "SS95", "L 95", "Board95");
  }
  BoardLeq = AddBoard(results, grid, row++, "SSLeq", kLeqCaption, "BoardLeq");
  BoardSEL = AddBoard(results, grid, row++, "SSSEL", kSelCaption, "BoardSEL");
  grid->setRowStretch(row, 1);
  body->addWidget(results);
  root->addLayout(body, 1);

  LblSkipped = new QLabel(this);
  LblSkipped->setObjectName("LblSkipped");
  LblSkipped->setStyleSheet("color: #a04000;");
  LblSkipped->setWordWrap(true);
  LblSkipped->hide();
  root->addWidget(LblSkipped);
  resize(560, 600);
}

QLabel* RecordListWindow::AddBoard(QWidget* box_parent, QGridLayout* grid, int row,
                                   const char* frame, const char* caption, const char* name) {
  auto* title = new QLabel(caption, box_parent);
  title->setObjectName(frame);
  title->setStyleSheet("font-weight: bold;");
  auto* value = new QLabel(box_parent);
  value->setObjectName(name);
  // As wide as the longest value it shows, a date and time.
  value->setMinimumWidth(value->fontMetrics().horizontalAdvance("0000/00/00 00:00:00") + 16);
  value->setStyleSheet(
      "background: #eef2f5; border: 1px solid #c9d2da; border-radius: 4px; padding: 3px 6px;");
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(title, row, 0);
  grid->addWidget(value, row, 1);
  return value;
}

void RecordListWindow::Load(RecordList list, const std::string& caption,
                            const std::vector<std::string>& notes) {
  list_ = std::move(list);
  notes_ = notes;
  GridModel->SetList(&list_);
  const ListHeader& h = list_.header();
  BoardCA->setText(Latin1(h.frequency_weighting));
  BoardSFI->setText(Latin1(h.time_weighting));
  BoardLevel->setText(Latin1(h.range));
  BoardMaxdB->setText(Latin1(h.max_level));
  BoardMaxTime->setText(Latin1(h.max_time));
  BoardLeq->setText(Latin1(h.leq));
  BoardSEL->setText(Latin1(h.sel));
  if (Board05 != nullptr) {
    Board05->setText(Latin1(h.l05));
    Board10->setText(Latin1(h.l10));
    Board50->setText(Latin1(h.l50));
    Board90->setText(Latin1(h.l90));
    Board95->setText(Latin1(h.l95));
  }
  set_field = h.second_value;
  if (!caption.empty()) setWindowTitle(Latin1(caption));
  std::string text;
  for (const std::string& note : notes) text += (text.empty() ? "" : "\n") + note;
  LblSkipped->setVisible(!text.empty());
  LblSkipped->setText(Latin1(text));
}

void RecordListWindow::ToolbarClicked(const QString& key) {
  PicResolution->hide();
  if (key == "Plot" && kind_ != Kind::kDataList) {
    if (on_plot) on_plot(list_);
  } else if (key == "Ln") {
    PicResolution->show();
    // The keyboard goes on where the choice is: Return takes 0.1 dB.
    Cmd01dB->setFocus(Qt::ShortcutFocusReason);
  } else if (key == "Save" && kind_ == Kind::kDataList) {
    SaveClicked();
  } else if (key == "Assess") {
    if (on_assess) on_assess();
  } else if (key == "Print" && kind_ != Kind::kDataList) {
    if (on_print) on_print();
  }
  // "Plot" and "Print" draw and print the list; the DataList's "Print" does nothing.
}

void RecordListWindow::SaveClicked() {
  BusyCursor busy;
  const FileChoice choice = dialogs_.SaveFile(kSaveFilter);
  if (!choice.chosen()) return;
  // The saved set carries the meter's results it was loaded with, in the
  // current form of a memory set.
  list_.header().kind = ListKind::kDataLogger2;
  list_.header().second_value = set_field;
  const QString caption = windowTitle();
  try {
    SaveRecordList(choice.path, list_, SeparatorForFilter(choice.filter_index),
                   [this](const WriteProgress& progress) {
                     setWindowTitle(Latin1(progress.caption));
                     KeepAlive();
                   });
  } catch (const DataFileError& e) {
    setWindowTitle(caption);
    dialogs_.Message(e.what(), MessageIcon::kCritical);
    return;
  }
  setWindowTitle(caption);
  // What is left out of its assessment from now on goes beside the saved file.
  path_ = choice.path;
}

}  // namespace slm
