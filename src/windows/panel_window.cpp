#include "windows/panel_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <cmath>
#include <iterator>
#include <utility>

#include "ui/icons.h"

namespace slm {

namespace {

constexpr const char* kOfflineKeyTip =
    "Offline Mode: no meter is connected, so the key sends nothing.";

// A label whose place stays reserved while it is hidden, so that blinking
// indicators do not make the panel jump.
QLabel* Indicator(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  QSizePolicy policy = label->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  label->setSizePolicy(policy);
  label->setProperty("indicator", true);
  return label;
}

QLabel* GlyphIndicator(QWidget* parent, const char* name, Glyph glyph, const QString& tip) {
  QLabel* label = Indicator(parent, name, {});
  label->setPixmap(GlyphPixmap(glyph, QColor(0x22, 0xee, 0x88), 26));
  label->setToolTip(tip);
  return label;
}

QWidget* ChartPlace(QWidget* parent, const char* name, const QString& axis) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(name);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setMinimumHeight(120);
  auto* layout = new QVBoxLayout(frame);
  auto* caption = new QLabel(axis, frame);
  caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  caption->setWordWrap(true);
  caption->setStyleSheet("color: #667;");
  layout->addWidget(caption);
  layout->addStretch();
  return frame;
}

const char* const kStyle = R"(
  #Face { background: #2b2f36; border-radius: 14px; }
  #Face QLabel { color: #cfd6dc; }
  #Lcd { background: #0f1a14; border: 2px solid #3c4a40; border-radius: 8px; }
  #Lcd QLabel { color: #33ff99; }
  #Lcd QLabel[indicator="true"] { font-weight: bold; font-size: 15px; padding: 1px 6px;
      border: 1px solid #1f5a3c; border-radius: 4px; }
  #LblOver, #LblUnder { color: #ff5555; border-color: #7a2222; }
  #LblValue { font-size: 84px; font-weight: bold; font-family: "DejaVu Sans Mono", monospace; }
  #LbldB { font-size: 26px; }
  #ShownLCD { font-size: 15px; color: #2fbf7f; }
  #LblBarMax, #LblBarMin { color: #cfd6dc; font-size: 13px; }
  #Face QPushButton { background: #454b55; color: #f0f2f4; border: 1px solid #5a616c;
      border-radius: 7px; padding: 8px 2px; font-size: 12px; font-weight: bold; }
  #Face QPushButton:pressed { background: #2e333a; }
  #Face QPushButton:disabled { color: #8a9099; }
  #SoundBar { border: 1px solid #3c4a40; border-radius: 4px; background: #0f1a14; height: 22px; }
  #SoundBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,
      stop:0 #1fa060, stop:0.7 #e0c030, stop:1 #e04040); }
  #LblCOM { color: #cfd6dc; font-weight: bold; }
  #OfflineSSPL { background: #b3541e; color: white; font-weight: bold; padding: 4px 10px;
      border-radius: 6px; }
  QGroupBox { font-weight: bold; }
  #Face QGroupBox { color: #1b2530; border: 1px solid #5a616c; border-radius: 6px;
      margin-top: 10px; padding: 8px 6px 6px 6px; }
  #Face QGroupBox::title { subcontrol-origin: margin; left: 8px; }
  #Face QRadioButton { color: #e8ecef; }
  #PicSave { background: #eef2f5; }
  #PicSave QRadioButton { color: #1b2530; }
  #LblRec { color: white; background: #c62828; border-radius: 5px; padding: 2px 8px;
      font-weight: bold; }
  QLabel[board="true"] { font-size: 20px; font-weight: bold; color: #1b2530; background: #eef2f5;
      border: 1px solid #c9d2da; border-radius: 5px; padding: 4px; }
)";

}  // namespace

Panel::Panel(PanelContext context, PortChoice choice, QWidget* parent)
    : QWidget(parent),
      context_(std::move(context)),
      choice_(choice),
      live_(context_.link, context_.reading) {
  setObjectName("Panel");
  setWindowTitle(kPanelDesignCaption);
  setStyleSheet(kStyle);
  Timer1.setObjectName("Timer1");
  Timer1.setInterval(200);
  Timer2.setObjectName("Timer2");
  Timer2.setInterval(1000);
  QObject::connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Tick(); });
  QObject::connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Tick(); });

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  BuildToolbar();
  root->addWidget(Toolbar1);

  auto* body = new QHBoxLayout;
  auto* face = new QFrame(this);
  face->setObjectName("Face");
  BuildFace(face);
  body->addWidget(face, 5);
  body->addWidget(BuildSide(), 6);
  root->addLayout(body, 1);

  context_.link.SetObserver(this);
  // Fits a 1280 x 800 screen with room for the window frame.
  resize(1240, 740);
  // Both timers run from creation; the start-up stops them when offline.
  Timer1.start();
  Timer2.start();
}

Panel::~Panel() { context_.link.SetObserver(nullptr); }

void Panel::BuildToolbar() {
  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setIconSize(QSize(32, 32));
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  struct Button {
    const char* key;
    const char* tip;
    QIcon icon;
  };
  const QColor blue(0x2f, 0x6f, 0xb0);
  const QColor teal(0x1f, 0x8a, 0x80);
  const QColor grey(0x4a, 0x55, 0x60);
  const Button buttons[] = {
      {"Save", "Save As", style()->standardIcon(QStyle::SP_DialogSaveButton)},
      {"Open", "Open File To Read", style()->standardIcon(QStyle::SP_DialogOpenButton)},
      {"Sampling", "Sampling Rate", TextIcon("1/s", teal)},
      {"AC", "Frequency Weight", TextIcon("A/C", blue)},
      {"FSI", "Time Weight", TextIcon("FSI", blue)},
      {"Up", "Level Up", GlyphIcon(Glyph::kArrowUp, blue)},
      {"Down", "Level Down", GlyphIcon(Glyph::kArrowDown, blue)},
      {"RTC", "Real Time Clock", GlyphIcon(Glyph::kClock, grey)},
      {"Memory", "Data Logger", GlyphIcon(Glyph::kChip, grey)},
      {"Erase", "Erase Memory", GlyphIcon(Glyph::kErase, QColor(0xb0, 0x3a, 0x2e))},
      {"Refresh", "Refresh", GlyphIcon(Glyph::kRefresh, teal)},
  };
  for (const Button& b : buttons) {
    QAction* action = Toolbar1->addAction(b.icon, b.key);
    action->setObjectName(b.key);
    action->setToolTip(b.tip);
    const QString key = b.key;
    QObject::connect(action, &QAction::triggered, this, [this, key] { ToolbarClicked(key); });
  }
}

QAction* Panel::ToolbarButton(int index_from_1) const {
  const auto actions = Toolbar1->actions();
  if (index_from_1 < 1 || index_from_1 > actions.size()) return nullptr;
  return actions[index_from_1 - 1];
}

QPushButton* Panel::MakeKey(const char* name, const char* caption, int code) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  button->setMinimumHeight(44);
  button->setFocusPolicy(Qt::NoFocus);
  QObject::connect(button, &QPushButton::clicked, this, [this, code] { KeyClicked(code); });
  return button;
}

void Panel::BuildFace(QWidget* face) {
  auto* layout = new QVBoxLayout(face);
  layout->setContentsMargins(10, 10, 10, 12);

  auto* top = new QHBoxLayout;
  OfflineSSPL = new QLabel("Offline Mode", face);
  OfflineSSPL->setObjectName("OfflineSSPL");
  OfflineSSPL->hide();
  top->addWidget(OfflineSSPL);
  top->addStretch();
  LblCOM = new ClickableLabel("No COM", face);
  LblCOM->setObjectName("LblCOM");
  LblCOM->setToolTip("The serial port of the meter");
  LblCOM->on_click = [this] { LblCOMClicked(); };
  top->addWidget(LblCOM);
  layout->addLayout(top);

  auto* lcd = new QFrame(face);
  lcd->setObjectName("Lcd");
  auto* lcd_layout = new QVBoxLayout(lcd);
  auto* indicators = new QHBoxLayout;
  LblFast = Indicator(lcd, "LblFast", "FAST");
  LblSlow = Indicator(lcd, "LblSlow", "SLOW");
  LblIMP = Indicator(lcd, "LblIMP", "IMP");
  LblCA = Indicator(lcd, "LblCA", "");
  LblCA->setMinimumWidth(34);
  LblOver = Indicator(lcd, "LblOver", "OVER");
  LblUnder = Indicator(lcd, "LblUnder", "UNDER");
  LblRun = GlyphIndicator(lcd, "LblRun", Glyph::kPlay, "Run");
  LblPause = GlyphIndicator(lcd, "LblPause", Glyph::kPause, "Pause");
  LblStop = GlyphIndicator(lcd, "LblStop", Glyph::kStop, "Stop");
  for (QLabel* l : {LblFast, LblSlow, LblIMP, LblCA}) indicators->addWidget(l);
  indicators->addStretch();
  for (QLabel* l : {LblOver, LblUnder}) indicators->addWidget(l);
  indicators->addStretch();
  for (QLabel* l : {LblRun, LblPause, LblStop}) indicators->addWidget(l);
  for (QLabel* l : {LblFast, LblSlow, LblIMP, LblOver, LblUnder, LblRun, LblPause, LblStop}) {
    l->hide();
  }
  lcd_layout->addLayout(indicators);

  auto* value_row = new QHBoxLayout;
  value_row->addStretch();
  LblValue = new QLabel("", lcd);
  LblValue->setObjectName("LblValue");
  LblValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LblValue->setMinimumWidth(300);
  LblValue->setMinimumHeight(110);
  value_row->addWidget(LblValue);
  LbldB = new QLabel("dB", lcd);
  LbldB->setObjectName("LbldB");
  LbldB->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  value_row->addWidget(LbldB);
  value_row->addStretch();
  lcd_layout->addLayout(value_row);

  auto* bar_row = new QHBoxLayout;
  LblBarMin = new QLabel("", lcd);
  LblBarMin->setObjectName("LblBarMin");
  SoundBar = new QProgressBar(lcd);
  SoundBar->setObjectName("SoundBar");
  SoundBar->setTextVisible(false);
  SoundBar->setRange(0, 1);
  SoundBar->setValue(0);
  LblBarMax = new QLabel("", lcd);
  LblBarMax->setObjectName("LblBarMax");
  bar_row->addWidget(LblBarMin);
  bar_row->addWidget(SoundBar, 1);
  bar_row->addWidget(LblBarMax);
  lcd_layout->addLayout(bar_row);
  ShownLCD = new QLabel("", lcd);
  ShownLCD->setObjectName("ShownLCD");
  ShownLCD->setAlignment(Qt::AlignRight);
  auto* lcd_bottom = new QHBoxLayout;
  BuildDisplayParts(lcd, lcd_bottom);
  lcd_bottom->addStretch();
  lcd_bottom->addWidget(ShownLCD);
  lcd_layout->addLayout(lcd_bottom);
  layout->addWidget(lcd);
  layout->addSpacing(10);

  auto* keys = new QGridLayout;
  keys->setSpacing(8);
  BtnCA = MakeKey("BtnCA", "A / C", 1);
  BtnFastSlow = MakeKey("BtnFastSlow", "Fast/Slow/Imp", 2);
  BtnLeq = MakeKey("BtnLeq", "Leq SEL SPL", 3);
  BtnMax = MakeKey("BtnMax", "Max Min Inst", 4);
  BtnPlayPause = MakeKey("BtnPlayPause", "Run Pause Stop", 5);
  BtnRecord = MakeKey("BtnRecord", "Record Erase", 6);
  BtnDate = MakeKey("BtnDate", "Date Time", 7);
  BtnInteg = MakeKey("BtnInteg", "Integ Time", 8);
  BtnUp = MakeKey("BtnUp", "Up", 9);
  BtnDown = MakeKey("BtnDown", "Down", 10);
  const std::array<QPushButton*, 10> all = {BtnCA,     BtnFastSlow, BtnLeq,   BtnMax, BtnPlayPause,
                                            BtnRecord, BtnDate,     BtnInteg, BtnUp,  BtnDown};
  for (size_t i = 0; i < all.size(); ++i) {
    keys->addWidget(all[i], static_cast<int>(i / 5), static_cast<int>(i % 5));
  }
  layout->addLayout(keys);
  layout->addSpacing(12);
  BuildRecording(face, layout);
  layout->addStretch();
}

void Panel::BuildDisplayParts(QWidget* lcd, QHBoxLayout* row) {
  // The printed parts of the meter's display. The live tick leaves them as
  // they are: the readout labels say what the meter's own display can show.
  Label1 = Indicator(lcd, "Label1", "SPL");
  LeqLabel = Indicator(lcd, "LeqLabel", "Leq");
  SELLabel = Indicator(lcd, "SELLabel", "SEL");
  for (QLabel* l : {Label1, LeqLabel, SELLabel}) {
    l->setStyleSheet("color: #2a8a5a; border-color: #1a3f2c;");
    row->addWidget(l);
  }
  const std::pair<QLabel**, const char*> hidden[] = {
      {&LblFull, "FULL"}, {&LblMax, "max"}, {&LblM, "M"},     {&LblR, "R"},    {&LblL, "L"},
      {&LblA, "A"},       {&LblC, "C"},     {&LblL99, "L99"}, {&LblL00, "L00"}};
  const char* const names[] = {"LblFull", "LblMax", "LblM",   "LblR",  "LblL",
                               "LblA",    "LblC",   "LblL99", "LblL00"};
  for (size_t i = 0; i < std::size(hidden); ++i) {
    *hidden[i].first = Indicator(lcd, names[i], hidden[i].second);
    (*hidden[i].first)->hide();
    row->addWidget(*hidden[i].first);
  }
  Shape1 = new QFrame(lcd);
  Shape1->setObjectName("Shape1");
  Shape1->hide();
  ShBtn = new QFrame(lcd);
  ShBtn->setObjectName("ShBtn");
  ShBtn->hide();
}

QWidget* Panel::Board(const char* frame_name, const char* caption, QLabel*& value,
                      const char* name) {
  auto* box = new QGroupBox(caption);
  box->setObjectName(frame_name);
  auto* layout = new QVBoxLayout(box);
  value = new QLabel("", box);
  value->setObjectName(name);
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
  BoardMaxTime = new QLabel("", max_box);
  BoardMaxTime->setObjectName("BoardMaxTime");
  BoardMaxTime->setAlignment(Qt::AlignCenter);
  max_box->layout()->addWidget(BoardMaxTime);
  values->addWidget(max_box, 2);
  values->addWidget(Board("SSLeq", "Leq", BoardLeq, "BoardLeq"), 1);
  values->addWidget(Board("SSSEL", "SEL", BoardSEL, "BoardSEL"), 1);
  layout->addLayout(values);

  auto* lower = new QHBoxLayout;
  GridN = new RecordTable(side);
  GridModel = GridN->records();
  GridModel->SetList(&context_.recorder.list());
  lower->addWidget(GridN);

  auto* charts = new QVBoxLayout;
  auto* choice = new QHBoxLayout;
  const char* const captions[3] = {"SPL", "Leq", "SEL"};
  for (int i = 0; i < 3; ++i) {
    SSOpt[static_cast<size_t>(i)] = new QRadioButton(captions[i], side);
    SSOpt[static_cast<size_t>(i)]->setObjectName(QString("SSOpt(%1)").arg(i));
    QObject::connect(SSOpt[static_cast<size_t>(i)], &QRadioButton::clicked, this,
                     [this, i] { SSOptClicked(i); });
    choice->addWidget(SSOpt[static_cast<size_t>(i)]);
  }
  SSOpt[0]->setChecked(true);
  choice->addStretch();
  charts->addLayout(choice);
  CWG = ChartPlace(side, "CWG", "SPL (dB)");
  CWLeq = ChartPlace(side, "CWLeq", "Leq (dB)");
  CWSEL = ChartPlace(side, "CWSEL", "SEL (dB)");
  CWLeq->hide();
  CWSEL->hide();
  for (QWidget* w : {CWG, CWLeq, CWSEL}) charts->addWidget(w, 2);
  auto* histograms = new QHBoxLayout;
  CWInt = ChartPlace(side, "CWInt", "Frequency (Times), 1 dB");
  CWDec = ChartPlace(side, "CWDec", "Frequency (Times), 0.1 dB");
  histograms->addWidget(CWInt);
  histograms->addWidget(CWDec);
  charts->addLayout(histograms, 1);
  lower->addLayout(charts, 1);
  layout->addLayout(lower, 1);

  PicErase = new QWidget(side);
  PicErase->setObjectName("PicErase");
  PicErase->hide();
  return side;
}

bool Panel::Start() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().topLeft());
  }
  OfflineSSPL->hide();
  if (choice_.offline) {
    for (int i = 1; i <= 11; ++i) {
      if (i != 2) ToolbarButton(i)->setVisible(false);
    }
    Timer1.stop();
    Timer2.stop();
    OfflineSSPL->show();
    for (QPushButton* key : findChildren<QPushButton*>()) {
      if (key->objectName().startsWith("Btn")) key->setToolTip(kOfflineKeyTip);
    }
  } else {
    try {
      context_.link.Open(choice_.port_number);
    } catch (const LinkError&) {
      Timer1.stop();
      Timer2.stop();
      context_.dialogs.Message(kNoDeviceFound, MessageIcon::kCritical);
      context_.exit_program(1);
      return false;
    }
    LblCOM->setText(QString::fromStdString(context_.link.PortLabel()));
    ShowPanelList(true);
    // ShBtn takes the colour of the level chart.
    ShBtn->setPalette(CWG->palette());
    Timer1.start();
  }
  PicErase->hide();
  return true;
}

void Panel::Timer1Tick() {
  switch (live_.Tick()) {
    case TickResult::kFrame:
      UpdatePanelDisplay(display_, context_.reading);
      ShowDisplay();
      break;
    case TickResult::kLost:
    case TickResult::kRestored:
    case TickResult::kSkipped:
    case TickResult::kPortError:
      break;
  }
}

void Panel::ShowDisplay() {
  const PanelDisplay& d = display_;
  LblBarMax->setText(QString::number(d.bar_maximum));
  LblBarMin->setText(QString::number(d.bar_minimum));
  ToolbarButton(6)->setEnabled(d.up_enabled);
  ToolbarButton(7)->setEnabled(d.down_enabled);
  // The bar works in tenths so that it moves as finely as the level.
  SoundBar->setRange(d.bar_minimum * 10, d.bar_maximum * 10);
  SoundBar->setValue(static_cast<int>(std::lround(d.bar_value * 10)));
  LblOver->setVisible(d.over);
  LblUnder->setVisible(d.under);
  LblSlow->setVisible(d.slow);
  LblFast->setVisible(d.fast);
  LblIMP->setVisible(d.imp);
  LblRun->setVisible(d.run);
  LblPause->setVisible(d.pause);
  LblStop->setVisible(d.stop);
  LblCA->setVisible(d.ca_visible);
  LblCA->setText(QString::fromLatin1(d.ca_text.c_str()));
  BoardCA->setText(QString::fromLatin1(d.board_ca.c_str()));
  const QString level = QString::fromLatin1(d.level_text.c_str());
  LblValue->setText(level);
  ShownLCD->setText(level);
  BoardSFI->setText(QString::fromLatin1(d.board_sfi.c_str()));
  BoardLevel->setText(QString::fromLatin1(d.board_level.c_str()));
}

void Panel::KeyClicked(int code) {
  // Offline there is no port to write to; a second click during a handshake
  // would only disturb the first.
  if (choice_.offline || !context_.link.IsOpen() || context_.link.Busy()) return;
  try {
    context_.link.PressKey(code);
  } catch (const LinkError& e) {
    context_.dialogs.Message(e.what(), MessageIcon::kExclamation);
  }
}

void Panel::LblCOMClicked() {
  setWindowTitle(windowTitle() != kPanelCaption ? kPanelCaption : kPanelBuildCaption);
}

void Panel::SSOptClicked(int index) {
  SSOpt[static_cast<size_t>(index)]->setChecked(true);
  CWG->setVisible(index == 0);
  CWLeq->setVisible(index == 1);
  CWSEL->setVisible(index == 2);
}

}  // namespace slm
