#include "windows/meter_face.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "qt/widget_text.h"
#include "ui/fitting_widgets.h"
#include "ui/icons.h"

namespace slm {

namespace {

constexpr const char* kOfflineKeyTip =
    "Offline Mode: no meter is connected, so the key sends nothing.";

struct Key {
  const char* name;
  const char* caption;
};
// In the order of their key codes, 1 to 10.
constexpr Key kKeys[10] = {
    {"BtnCA", "A / C"},         {"BtnFastSlow", "Fast/Slow/Imp"},   {"BtnLeq", "Leq SEL SPL"},
    {"BtnMax", "Max Min Inst"}, {"BtnPlayPause", "Run Pause Stop"}, {"BtnRecord", "Record Erase"},
    {"BtnDate", "Date Time"},   {"BtnInteg", "Integ Time"},         {"BtnUp", "Up"},
    {"BtnDown", "Down"},
};

// A label whose place stays reserved while it is hidden, so that blinking
// indicators do not make the panel jump.
QLabel* Indicator(QWidget* parent, const char* name, const QString& text) {
  auto* label = Named<QLabel>(name, text, parent);
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

}  // namespace

QKeySequence KeyShortcut(int code) {
  return QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_0 + code % 10));
}

QString WithShortcut(const QString& tip, int code) {
  return tip + " (" + KeyShortcut(code).toString(QKeySequence::NativeText) + ")";
}

MeterFace::MeterFace(QWidget* parent) : QFrame(parent) {
  setObjectName("Face");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 12);

  auto* top = new QHBoxLayout;
  OfflineSSPL = Named<QLabel>("OfflineSSPL", "Offline Mode", this);
  OfflineSSPL->hide();
  top->addWidget(OfflineSSPL);
  top->addStretch();
  LblCOM = Named<ClickableLabel>("LblCOM", "No COM", this);
  LblCOM->setToolTip("The serial port of the meter");
  LblCOM->on_click = [this] {
    if (on_port_label) on_port_label();
  };
  top->addWidget(LblCOM);
  layout->addLayout(top);
  // The display takes the height the panel has to spare.
  layout->addWidget(BuildLcd(), 1);
  layout->addSpacing(6);

  auto* key_grid = new QGridLayout;
  key_grid->setSpacing(6);
  for (int i = 0; i < 10; ++i) {
    // A narrow panel wraps a key's caption rather than cutting it.
    auto* button = Named<WrapButton>(kKeys[i].name, kKeys[i].caption, this);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setMinimumHeight(40);
    // The keys take focus from Tab and a click, and Alt+1 to Alt+0 press them.
    button->setFocusPolicy(Qt::StrongFocus);
    const int code = i + 1;
    button->setShortcut(KeyShortcut(code));
    button->setToolTip(WithShortcut(kKeys[i].caption, code));
    QObject::connect(button, &QPushButton::clicked, this, [this, code] {
      if (on_key) on_key(code);
    });
    keys[static_cast<size_t>(i)] = button;
    key_grid->addWidget(button, i / 5, i % 5);
  }
  // The five columns share the width evenly, whatever their captions, and
  // no narrower than the key that needs the most room.
  int least = 0;
  for (QPushButton* key : keys) {
    key->ensurePolished();
    least = std::max(least, key->minimumSizeHint().width());
  }
  for (QPushButton* key : keys) key->setMinimumWidth(least);
  for (int column = 0; column < 5; ++column) key_grid->setColumnStretch(column, 1);
  layout->addLayout(key_grid);
  layout->addSpacing(6);
  lower_ = new QVBoxLayout;
  layout->addLayout(lower_);
}

QWidget* MeterFace::BuildLcd() {
  auto* lcd = Named<QFrame>("Lcd", this);
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
  // The meter shows one time weighting at a time: the three share one place.
  auto* weighting = new QGridLayout;
  for (QLabel* l : {LblFast, LblSlow, LblIMP}) weighting->addWidget(l, 0, 0);
  indicators->addLayout(weighting);
  indicators->addWidget(LblCA);
  indicators->addStretch();
  for (QLabel* l : {LblOver, LblUnder}) indicators->addWidget(l);
  indicators->addStretch();
  for (QLabel* l : {LblRun, LblPause, LblStop}) indicators->addWidget(l);
  for (QLabel* l : {LblFast, LblSlow, LblIMP, LblOver, LblUnder, LblRun, LblPause, LblStop}) {
    l->hide();
  }
  lcd_layout->addLayout(indicators);

  // The level digits grow and shrink with the panel; "dB" follows them on
  // the right, at a fixed share of the row so that it never moves.
  auto* value_row = new QHBoxLayout;
  value_row->setSpacing(6);
  LblValue = Named<QLabel>("LblValue", "", lcd);
  LblValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LblValue->setMinimumSize(200, 48);
  QFont digits("DejaVu Sans Mono");
  digits.setStyleHint(QFont::Monospace);
  digits.setBold(true);
  LblValue->setFont(digits);
  LbldB = Named<QLabel>("LbldB", "dB", lcd);
  LbldB->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LbldB->setMinimumSize(40, 48);
  for (QLabel* label : {LblValue, LbldB}) {
    // They take the room the row gives them; the fonts follow the room.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  }
  LblValue->installEventFilter(this);
  value_row->addWidget(LblValue, 3);
  value_row->addWidget(LbldB, 1);
  lcd_layout->addLayout(value_row, 1);

  auto* bar_row = new QHBoxLayout;
  LblBarMin = Named<QLabel>("LblBarMin", "", lcd);
  SoundBar = Named<QProgressBar>("SoundBar", lcd);
  SoundBar->setTextVisible(false);
  SoundBar->setRange(0, 1);
  SoundBar->setValue(0);
  LblBarMax = Named<QLabel>("LblBarMax", "", lcd);
  bar_row->addWidget(LblBarMin);
  bar_row->addWidget(SoundBar, 1);
  bar_row->addWidget(LblBarMax);
  lcd_layout->addLayout(bar_row);
  ShownLCD = Named<QLabel>("ShownLCD", "", lcd);
  ShownLCD->setAlignment(Qt::AlignRight);
  auto* lcd_bottom = new QHBoxLayout;
  BuildDisplayParts(lcd, lcd_bottom);
  lcd_bottom->addStretch();
  lcd_bottom->addWidget(ShownLCD);
  lcd_layout->addLayout(lcd_bottom);
  return lcd;
}

void MeterFace::BuildDisplayParts(QWidget* lcd, QHBoxLayout* row) {
  // The printed parts of the meter's display. The live tick leaves them as
  // they are: the readout labels say what the meter's own display can show.
  Label1 = Indicator(lcd, "Label1", "SPL");
  LeqLabel = Indicator(lcd, "LeqLabel", "Leq");
  SELLabel = Indicator(lcd, "SELLabel", "SEL");
  for (QLabel* l : {Label1, LeqLabel, SELLabel}) {
    l->setStyleSheet("color: #2a8a5a; border-color: #1a3f2c;");
    row->addWidget(l);
  }
  const std::pair<const char*, const char*> hidden[] = {
      {"LblFull", "FULL"}, {"LblMax", "max"}, {"LblM", "M"},     {"LblR", "R"},    {"LblL", "L"},
      {"LblA", "A"},       {"LblC", "C"},     {"LblL99", "L99"}, {"LblL00", "L00"}};
  for (const auto& [name, text] : hidden) {
    QLabel* label = Indicator(lcd, name, text);
    // Never shown, so they keep no room.
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(false);
    label->setSizePolicy(policy);
    label->hide();
    row->addWidget(label);
  }
  Shape1 = Named<QFrame>("Shape1", lcd);
  Shape1->hide();
  ShBtn = Named<QFrame>("ShBtn", lcd);
  ShBtn->hide();
}

bool MeterFace::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LblValue && event->type() == QEvent::Resize) FitLevelDigits();
  return QFrame::eventFilter(watched, event);
}

void MeterFace::FitLevelDigits() {
  QFont digits = LblValue->font();
  digits.setPixelSize(FittingPixelSize(digits, "-188.8", LblValue->contentsRect().size(), 40, 160));
  LblValue->setFont(digits);
  QFont unit = LbldB->font();
  unit.setPixelSize(std::clamp(digits.pixelSize() * 3 / 10, 16, 48));
  LbldB->setFont(unit);
  // "dB" stands on the digits' base line.
  const QFontMetrics big(digits);
  const QFontMetrics small(unit);
  const int base_line = (LblValue->contentsRect().height() - big.height()) / 2 + big.ascent();
  LbldB->setContentsMargins(0, std::max(0, base_line - small.ascent()), 0, 0);
}

void MeterFace::Show(const PanelDisplay& d) {
  LblBarMax->setText(QString::number(d.bar_maximum));
  LblBarMin->setText(QString::number(d.bar_minimum));
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
  LblCA->setText(Latin1(d.ca_text));
  const QString level = Latin1(d.level_text);
  LblValue->setText(level);
  ShownLCD->setText(level);
}

void MeterFace::ClearLevel() {
  LblValue->clear();
  ShownLCD->clear();
}

void MeterFace::ShowOffline() {
  OfflineSSPL->show();
  SetKeysReachable(false, kOfflineKeyTip);
}

void MeterFace::SetKeysReachable(bool reachable, const QString& reason) {
  for (int code = 1; code <= 10; ++code) {
    QPushButton* key = keys[static_cast<size_t>(code - 1)];
    key->setEnabled(reachable);
    key->setToolTip(WithShortcut(reachable ? Latin1(kKeys[code - 1].caption) : reason, code));
  }
}

}  // namespace slm
