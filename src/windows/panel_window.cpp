#include "windows/panel_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/flag_guard.h"
#include "live/toolbar_keys.h"
#include "qt/widget_text.h"
#include "ui/user_settings.h"
#include "windows/panel_style.h"

namespace slm {

Panel::Panel(PanelContext context, PortChoice choice, QWidget* parent)
    : QWidget(parent),
      context_(std::move(context)),
      session_(context_.session),
      choice_(choice),
      windows_(*this, context_.dialogs, context_.printing, context_.ln_table,
               context_.session.charts(), context_.keep_alive),
      logger_(context_.session, context_.timers, context_.dialogs,
              {[this](const std::string& m) { Tell(m); }, [this](const std::string& m) { Note(m); },
               [this](const std::string& m) { Remark(m); },
               [this](QWidget& w) {
                 // A downloaded set can be assessed as it is.
                 if (auto* list = dynamic_cast<RecordListWindow*>(&w)) {
                   windows_.ConnectAssess(*list);
                 }
                 windows_.ShowBeside(w);
               }}),
      figures_(PanelAssessmentSettings(RememberedAssessmentSettings())) {
  setObjectName("Panel");
  setWindowTitle(kPanelCaption);
  setStyleSheet(kPanelStyle);
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
  body_ = new QBoxLayout(QBoxLayout::LeftToRight, content);
  QBoxLayout* body = body_;
  body->setContentsMargins(0, 0, 0, 0);
  face = new MeterFace(content);
  face->on_key = [this](int code) { KeyClicked(code); };
  face->on_port_label = [this] { LblCOMClicked(); };
  strip = new RecordingStrip(face);
  strip->on_launch = [this] { CmdLClicked(); };
  strip->on_save_ok = [this] { CmdSaveOKClicked(); };
  face->lower()->addWidget(strip);
  side = new SideColumn(session_.recorder().list(), content);
  side->charts->on_open_series = [this](LiveSeries series) { windows_.OpenLiveTimePlot(series); };
  side->charts->on_open_histogram = [this](StatResolution r) { windows_.OpenLiveHistogram(r); };
  side->AddOnTop(logger_.BuildErasePicker(side));
  ShowFigures();
  // The face and the right column split the width at a fixed ratio from
  // fixed least widths, so that no text the state changes (offline, a lost
  // meter, a long file name) moves either of them.
  for (QWidget* part : {static_cast<QWidget*>(face), static_cast<QWidget*>(side)}) {
    part->setMinimumWidth(part->minimumSizeHint().width());
    part->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }
  body->addWidget(face, 4);
  body->addWidget(side, 5);
  scroller->setWidget(content);
  root->addWidget(scroller, 1);
  status_strip = new StatusStrip(this);
  root->addWidget(status_strip);
  ShowRecordingState();
  BuildMenu();

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

void Panel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Too narrow for the face and the column side by side (an 800 px screen):
  // the column with the charts goes below the face, and the body scrolls
  // down rather than sideways.
  const int side_by_side = face->minimumWidth() + side->minimumWidth() + body_->spacing() +
                           layout()->contentsMargins().left() + layout()->contentsMargins().right();
  const auto direction = width() < side_by_side ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
  if (body_->direction() == direction) return;
  body_->setDirection(direction);
  // The body's least size changes with the direction: fit it to the view
  // again now, or it would keep the tall size of the narrow form and scroll.
  body_->activate();
  if (auto* scroller = findChild<QScrollArea*>("PanelBody")) scroller->setWidgetResizable(true);
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
    QAction* action = Toolbar1->addAction(PanelToolbarIcon(k.key, style()), key);
    action->setObjectName(key);
    action->setToolTip(Latin1(k.tip));
    QObject::connect(action, &QAction::triggered, this, [this, key] { ToolbarClicked(key); });
  }
}

void Panel::BuildMenu() {
  menu = new PanelMenu(*this, *Toolbar1, *side->charts);
  menu->may_open = [this] {
    strip->PicSave->hide();
    if (command_running_ || logger_.busy()) return false;
    if (!session_.recorder().recording()) return true;
    context_.dialogs.Message(kRecordingMode, MessageIcon::kCritical);
    return false;
  };
  menu->on_open_recent = [this](const std::string& path) { OpenPath(path); };
  menu->on_missing_recent = [this](const std::string& message) { Tell(message); };
  menu->on_about = [this] { ShowAbout(); };
  menu->on_manual = [this] { windows_.ShowManual(); };
  menu->on_assess_files = [this] { windows_.AssessFiles(); };
  menu->on_escape = [this] {
    strip->PicSave->hide();
    logger_.HidePicker();
  };
  layout()->setMenuBar(menu->bar());
  setAcceptDrops(true);
}

QAction* Panel::ToolbarButton(int index_from_1) const {
  const auto actions = Toolbar1->actions();
  if (index_from_1 < 1 || index_from_1 > actions.size()) return nullptr;
  return actions[index_from_1 - 1];
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
    context_.timers.StopBoth();
    face->ShowOffline();
    side->LiveFigures->hide();  // nothing is sampled
    ShowMeterReach();
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
    side->ShowList(true);
    // ShBtn takes the colour of the level chart.
    face->ShBtn->setPalette(side->charts->CWG->palette());
    context_.timers.Timer1.start();
  }
  logger_.HidePicker();
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
  if (session_.Tick() != TickResult::kFrame) return;
  const PanelDisplay& d = session_.display();
  face->Show(d);
  ToolbarButton(6)->setEnabled(d.up_enabled);
  ToolbarButton(7)->setEnabled(d.down_enabled);
  side->ShowSettings(d);
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

void Panel::ShowAbout() { context_.dialogs.Message(PanelAboutText(), MessageIcon::kInformation); }

void Panel::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Panel::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  strip->PicSave->hide();
  // Opened once the drop is over, so that no message box holds up the drag.
  QTimer::singleShot(0, this, [this, path] {
    if (!command_running_ && !logger_.busy()) OpenPath(path.toStdString());
  });
}

}  // namespace slm
