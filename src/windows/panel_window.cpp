#include "windows/panel_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/flag_guard.h"
#include "panel/toolbar_keys.h"
#include "ui/icons.h"
#include "platform/widget_text.h"

namespace slm {

namespace {

const char* const kStyle = R"(
  #Face { background: #2b2f36; border-radius: 14px; }
  #Face QLabel { color: #cfd6dc; }
  #Lcd { background: #0f1a14; border: 2px solid #3c4a40; border-radius: 8px; }
  #Lcd QLabel { color: #33ff99; }
  #Lcd QLabel[indicator="true"] { font-weight: bold; font-size: 15px; padding: 1px 6px;
      border: 1px solid #1f5a3c; border-radius: 4px; }
  #LblOver, #LblUnder { color: #ff5555; border-color: #7a2222; }
  #ShownLCD { font-size: 15px; color: #2fbf7f; }
  #LblBarMax, #LblBarMin { color: #cfd6dc; font-size: 13px; }
  #Face QPushButton { background: #454b55; color: #f0f2f4; border: 1px solid #5a616c;
      border-radius: 7px; padding: 4px 2px; font-size: 12px; font-weight: bold; }
  #Face QPushButton:pressed { background: #2e333a; }
  #Face QPushButton:disabled { color: #8a9099; }
  #SoundBar { border: 1px solid #3c4a40; border-radius: 4px; background: #0f1a14; height: 22px; }
  #SoundBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,
      stop:0 #1fa060, stop:0.7 #e0c030, stop:1 #e04040); }
  #LblCOM { color: #cfd6dc; font-weight: bold; }
  #OfflineSSPL { background: #b3541e; color: white; font-weight: bold; padding: 4px 10px;
      border-radius: 6px; }
  QGroupBox { font-weight: bold; }
  #Face QGroupBox { color: #e8ecef; border: 1px solid #5a616c; border-radius: 6px;
      margin-top: 1.3em; padding: 2px 6px 2px 6px; }
  #Face QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;
      left: 8px; padding: 0 4px; }
  #Face QRadioButton { color: #e8ecef; }
  #PicSave { background: #eef2f5; }
  #PicSave QRadioButton { color: #1b2530; }
  #LblRec { color: white; background: #c62828; border-radius: 5px; padding: 2px 8px;
      font-weight: bold; }
  QLabel[board="true"] { font-size: 20px; font-weight: bold; color: #1b2530; background: #eef2f5;
      border: 1px solid #c9d2da; border-radius: 5px; padding: 4px; }
)";

QIcon ToolbarIcon(std::string_view key, const QStyle* style) {
  const QColor blue(0x2f, 0x6f, 0xb0);
  const QColor teal(0x1f, 0x8a, 0x80);
  const QColor grey(0x4a, 0x55, 0x60);
  if (key == "Save") return style->standardIcon(QStyle::SP_DialogSaveButton);
  if (key == "Open") return style->standardIcon(QStyle::SP_DialogOpenButton);
  if (key == "Sampling") return TextIcon("1/s", teal);
  if (key == "AC") return TextIcon("A/C", blue);
  if (key == "FSI") return TextIcon("FSI", blue);
  if (key == "Up") return GlyphIcon(Glyph::kArrowUp, blue);
  if (key == "Down") return GlyphIcon(Glyph::kArrowDown, blue);
  if (key == "RTC") return GlyphIcon(Glyph::kClock, grey);
  if (key == "Memory") return GlyphIcon(Glyph::kChip, grey);
  if (key == "Erase") return GlyphIcon(Glyph::kErase, QColor(0xb0, 0x3a, 0x2e));
  return GlyphIcon(Glyph::kRefresh, teal);
}

}  // namespace

Panel::Panel(PanelContext context, PortChoice choice, QWidget* parent)
    : QWidget(parent), context_(std::move(context)), session_(context_.session), choice_(choice) {
  setObjectName("Panel");
  setWindowTitle(kPanelDesignCaption);
  setStyleSheet(kStyle);
  QObject::connect(&context_.timers.Timer1, &QTimer::timeout, this, [this] { Timer1Tick(); });
  QObject::connect(&context_.timers.Timer2, &QTimer::timeout, this, [this] { Timer2Tick(); });

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  BuildToolbar();
  root->addWidget(Toolbar1);

  // On a screen smaller than the panel's least size the body scrolls rather
  // than its parts lying over each other.
  auto* scroller = Named<QScrollArea>("PanelBody", this);
  scroller->setWidgetResizable(true);
  scroller->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget(scroller);
  auto* body = new QHBoxLayout(content);
  body->setContentsMargins(0, 0, 0, 0);
  face = new MeterFace(content);
  face->on_key = [this](int code) { KeyClicked(code); };
  face->on_port_label = [this] { LblCOMClicked(); };
  strip = new RecordingStrip(face);
  strip->on_launch = [this] { CmdLClicked(); };
  strip->on_save_ok = [this] { CmdSaveOKClicked(); };
  strip->on_save_mode = [this](int mode) { session_.recorder().SetSaveMode(mode); };
  face->lower()->addWidget(strip);
  QWidget* side = BuildSide();
  // The face and the right column split the width at a fixed ratio from
  // fixed least widths, so that no text the state changes (offline, a lost
  // meter, a long file name) moves either of them.
  for (QWidget* part : {static_cast<QWidget*>(face), side}) {
    part->setMinimumWidth(part->minimumSizeHint().width());
    part->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }
  body->addWidget(face, 4);
  body->addWidget(side, 5);
  scroller->setWidget(content);
  root->addWidget(scroller, 1);
  AddStatusStrip(root);
  ShowRecordingState();
  BuildMenuAndKeys();

  session_.SetView(this);
  // Saving the panel list shows how far it has come in the caption, which
  // comes back when the save is done.
  session_.recorder().SetWriteProgress([this](const WriteProgress& progress) {
    if (saved_caption_.isEmpty()) saved_caption_ = windowTitle();
    setWindowTitle(Latin1(progress.caption));
    context_.keep_alive();
    if (progress.row >= progress.rows) {
      setWindowTitle(saved_caption_);
      saved_caption_.clear();
    }
  });
  // Fits a 1280 x 800 screen with room for the window frame.
  resize(1240, 740);
  // Both timers run from creation; the start-up stops them when offline.
  context_.timers.StartBoth();
}

Panel::~Panel() {
  session_.ClearView(this);
  session_.recorder().SetWriteProgress({});
}

void Panel::BuildToolbar() {
  Toolbar1 = Named<QToolBar>("Toolbar1", this);
  Toolbar1->setIconSize(QSize(32, 32));
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (const ToolbarKey& k : kToolbarKeys) {
    const QString key = Latin1(k.key);
    QAction* action = Toolbar1->addAction(ToolbarIcon(k.key, style()), key);
    action->setObjectName(key);
    action->setToolTip(Latin1(k.tip));
    QObject::connect(action, &QAction::triggered, this, [this, key] { ToolbarClicked(key); });
  }
}

QAction* Panel::ToolbarButton(int index_from_1) const {
  const auto actions = Toolbar1->actions();
  if (index_from_1 < 1 || index_from_1 > actions.size()) return nullptr;
  return actions[index_from_1 - 1];
}

QWidget* Panel::Board(const char* frame_name, const char* caption, QLabel*& value,
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

QWidget* Panel::BuildSide() {
  auto* side = new QWidget(this);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(4, 0, 0, 0);

  auto* settings = new QHBoxLayout;
  settings->addWidget(Board("SSTW", "Time Weight", BoardSFI, "BoardSFI"));
  settings->addWidget(Board("SSFreq", "Freq Weight", BoardCA, "BoardCA"));
  settings->addWidget(Board("SSSR", "Level Range", BoardLevel, "BoardLevel"));
  layout->addLayout(settings);

  auto* values = new QHBoxLayout;
  QWidget* max_box = Board("SSMax", "Max dB", BoardMaxdB, "BoardMaxdB");
  BoardMaxTime = Named<QLabel>("BoardMaxTime", "", max_box);
  BoardMaxTime->setAlignment(Qt::AlignCenter);
  max_box->layout()->addWidget(BoardMaxTime);
  values->addWidget(max_box, 2);
  values->addWidget(Board("SSLeq", "Leq", BoardLeq, "BoardLeq"), 1);
  values->addWidget(Board("SSSEL", "SEL", BoardSEL, "BoardSEL"), 1);
  layout->addLayout(values);

  auto* lower = new QHBoxLayout;
  GridN = new RecordTable(side);
  GridModel = GridN->records();
  GridModel->SetList(&session_.recorder().list());
  lower->addWidget(GridN);
  charts = new LiveCharts(side);
  charts->on_open_series = [this](LiveSeries series) { OpenLiveTimePlotWindow(series); };
  charts->on_open_histogram = [this](StatResolution r) { OpenLiveHistogramWindow(r); };
  lower->addWidget(charts, 1);
  layout->addLayout(lower, 1);

  PicErase = BuildErasePicker(side);
  PicErase->hide();
  layout->insertWidget(0, PicErase);
  return side;
}

bool Panel::Start() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    // The panel takes the room the screen has: its designed size, smaller on
    // a small screen so that all of it shows, and larger on a large one,
    // leaving room beside it for a list window.
    const QRect room = screen->availableGeometry();
    resize(std::min(room.width(), std::max(width(), room.width() * 65 / 100)),
           std::min(room.height(), std::max(height(), room.height() * 85 / 100)));
    move(room.topLeft());
  }
  face->OfflineSSPL->hide();
  if (choice_.offline) {
    for (int i = 1; i <= 11; ++i) {
      if (i != 2) ToolbarButton(i)->setVisible(false);
    }
    context_.timers.StopBoth();
    face->ShowOffline();
    DisableMeterControls();
  } else {
    try {
      session_.link().Open(choice_.port_number);
    } catch (const LinkError& e) {
      context_.timers.StopBoth();
      context_.dialogs.Message(std::string(kNoDeviceFound) + "\n" + e.what(),
                               MessageIcon::kCritical);
      context_.exit_program(1);
      return false;
    }
    face->LblCOM->setText(QString::fromStdString(session_.link().PortLabel()));
    ShowPanelList(true);
    // ShBtn takes the colour of the level chart.
    face->ShBtn->setPalette(charts->CWG->palette());
    context_.timers.Timer1.start();
  }
  PicErase->hide();
  ShowStatus();
  return true;
}

std::unique_ptr<Panel> OpenPanel(PanelContext context, PortChoice choice) {
  auto panel = std::make_unique<Panel>(std::move(context), choice);
  if (!panel->Start()) return nullptr;
  panel->show();
  return panel;
}

void Panel::Timer1Tick() {
  if (session_.Tick() == TickResult::kFrame) ShowDisplay();
}

void Panel::ShowDisplay() {
  const PanelDisplay& d = session_.display();
  face->Show(d);
  ToolbarButton(6)->setEnabled(d.up_enabled);
  ToolbarButton(7)->setEnabled(d.down_enabled);
  BoardCA->setText(Latin1(d.board_ca));
  BoardSFI->setText(Latin1(d.board_sfi));
  BoardLevel->setText(Latin1(d.board_level));
}

void Panel::KeyClicked(int code) {
  // Offline there is no port to write to.
  if (choice_.offline || !session_.link().IsOpen()) return;
  // A click while another exchange runs waits its turn: the keys go to the
  // meter one after another, in the order they were clicked.
  pending_keys_.push_back(code);
  if (keys_running_) return;
  FlagGuard running(keys_running_);
  MeterLink& link = session_.link();
  while (!pending_keys_.empty()) {
    // Every exchange is bounded (the handshake gives up after a few seconds).
    while (link.Busy()) link.rs232().Wait(0.05);
    const int next = pending_keys_.front();
    pending_keys_.pop_front();
    try {
      link.PressKey(next);
    } catch (const LinkError& e) {
      // The meter does not answer: the keys still waiting would not reach it
      // either, and one message says so.
      pending_keys_.clear();
      context_.dialogs.Message(e.what(), MessageIcon::kExclamation);
    }
  }
}

void Panel::LblCOMClicked() {
  setWindowTitle(windowTitle() != kPanelCaption ? kPanelCaption : kPanelBuildCaption);
}

}  // namespace slm
