#include "windows/panel_menu.h"

#include <QActionGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include "base/version.h"
#include "files/recent_files.h"
#include "ui/keyboard.h"
#include "ui/user_settings.h"
#include "windows/panel_window.h"

namespace slm {

namespace {

// The first local file among the dropped URLs, or an empty text.
QString DroppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile();
  }
  return {};
}

// Keeps "Full Screen" checked while the window is full screen, however it
// got there.
class FullScreenMirror : public QObject {
 public:
  FullScreenMirror(QWidget* window, QAction* action)
      : QObject(action), window_(window), action_(action) {
    window_->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::WindowStateChange) {
      action_->setChecked(window_->isFullScreen());
    }
    return false;
  }

 private:
  QWidget* window_;
  QAction* action_;
};

}  // namespace

std::string PanelAboutText() {
  return std::string("slmpanel ") + kProgramVersion +
         "\nThe desktop companion of a hand-held sound level meter.\n" + kPanelBuildCaption;
}

void Panel::BuildMenuAndKeys() {
  Toolbar1->findChild<QAction*>("Open")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Toolbar1->findChild<QAction*>("Save")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Toolbar1->findChild<QAction*>("Refresh")->setShortcut(QKeySequence(Qt::Key_F5));
  TabReachesToolButtons(*Toolbar1);

  // The menus hold the toolbar's own actions, so that a menu item runs the
  // same command, and is hidden or disabled with its button.
  MenuBar = new QMenuBar(this);
  MenuBar->setObjectName("MenuBar");
  auto add_keys = [this](QMenu* menu, std::initializer_list<const char*> keys) {
    for (const char* key : keys) menu->addAction(Toolbar1->findChild<QAction*>(key));
  };
  QMenu* file = MenuBar->addMenu("&File");
  file->setObjectName("MenuFile");
  add_keys(file, {"Open", "Save"});
  BuildRecentMenu(file);
  file->addSeparator();
  QAction* quit = file->addAction("Quit");
  quit->setObjectName("Quit");
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  QObject::connect(quit, &QAction::triggered, this, [this] { close(); });

  QMenu* meter = MenuBar->addMenu("&Meter");
  meter->setObjectName("MenuMeter");
  add_keys(meter, {"AC", "FSI", "Up", "Down", "Sampling", "RTC", "Memory", "Erase", "Refresh"});

  BuildViewMenu();

  QMenu* help = MenuBar->addMenu("&Help");
  help->setObjectName("MenuHelp");
  QAction* about = help->addAction("About");
  about->setObjectName("About");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  QObject::connect(about, &QAction::triggered, this, [this] { ShowAbout(); });
  layout()->setMenuBar(MenuBar);

  // Esc puts away the save box and the erase picker.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  QObject::connect(escape, &QShortcut::activated, this, [this] {
    strip->PicSave->hide();
    PicErase->hide();
  });

  setAcceptDrops(true);
}

void Panel::BuildRecentMenu(QMenu* file) {
  recent_menu_ = file->addMenu("Open Recent");
  recent_menu_->setObjectName("MenuRecent");
  recent_menu_->setToolTipsVisible(true);
  // A fixed set of items, relabelled as the list changes: the item being
  // chosen is never deleted under its own signal.
  for (std::size_t i = 1; i <= kMaxRecentFiles; ++i) {
    QAction* item = recent_menu_->addAction(QString());
    item->setObjectName(QString("RecentFile%1").arg(i));
    QObject::connect(item, &QAction::triggered, this,
                     [this, item] { OpenRecentFile(item->data().toString().toStdString()); });
  }
  recent_menu_->addSeparator();
  QAction* clear = recent_menu_->addAction("Clear Menu");
  clear->setObjectName("ClearRecent");
  QObject::connect(clear, &QAction::triggered, this, [this] {
    RememberRecentFiles({});
    ShowRecentFiles();
  });
  // Another panel may have opened files since.
  QObject::connect(file, &QMenu::aboutToShow, this, [this] { ShowRecentFiles(); });
  ShowRecentFiles();
}

void Panel::ShowRecentFiles() {
  const RecentFiles recent(RememberedRecentFiles());
  const std::vector<std::string>& paths = recent.paths();
  const QList<QAction*> items = recent_menu_->actions();
  for (std::size_t i = 0; i < kMaxRecentFiles; ++i) {
    QAction* item = items[static_cast<qsizetype>(i)];
    item->setVisible(i < paths.size());
    if (i >= paths.size()) continue;
    const QString path = QString::fromStdString(paths[i]);
    item->setText(QString::fromStdString(RecentFileLabel(i + 1, paths[i])));
    item->setToolTip(path);
    item->setStatusTip(path);
    item->setData(path);
  }
  recent_menu_->menuAction()->setEnabled(!paths.empty());
}

void Panel::OpenRecentFile(const std::string& path) {
  strip->PicSave->hide();
  if (command_running_) return;
  if (session_.recorder().recording()) {
    context_.dialogs.Message(kRecordingMode, MessageIcon::kCritical);
    return;
  }
  RecentFiles recent(RememberedRecentFiles());
  if (recent.DropIfMissing(path)) {
    RememberRecentFiles(recent.paths());
    ShowRecentFiles();
    Tell(MissingRecentFileMessage(path));
    return;
  }
  OpenPath(path);
}

void Panel::AddRecentFile(const std::string& path) {
  RecentFiles recent(RememberedRecentFiles());
  recent.Add(path);
  RememberRecentFiles(recent.paths());
  ShowRecentFiles();
}

void Panel::BuildViewMenu() {
  QMenu* view = MenuBar->addMenu("&View");
  view->setObjectName("MenuView");
  // The live chart shown, as SSOpt chooses it: each follows the other.
  auto* chart = new QActionGroup(view);
  const char* const names[] = {"ViewSPL", "ViewLeq", "ViewSEL"};
  for (int i = 0; i < 3; ++i) {
    QRadioButton* option = charts->SSOpt[static_cast<std::size_t>(i)];
    QAction* item = view->addAction(option->text());
    item->setObjectName(names[i]);
    item->setCheckable(true);
    item->setChecked(option->isChecked());
    chart->addAction(item);
    QObject::connect(item, &QAction::triggered, this, [this, i] { charts->Choose(i); });
    QObject::connect(option, &QRadioButton::toggled, item, [item](bool on) {
      if (on) item->setChecked(true);
    });
  }
  view->addSeparator();
  QAction* full_screen = view->addAction("Full Screen");
  full_screen->setObjectName("FullScreen");
  full_screen->setCheckable(true);
  full_screen->setShortcut(QKeySequence(Qt::Key_F11));
  QObject::connect(full_screen, &QAction::triggered, this, [this](bool on) {
    setWindowState(on ? windowState() | Qt::WindowFullScreen
                      : windowState() & ~Qt::WindowFullScreen);
  });
  new FullScreenMirror(this, full_screen);
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
    if (!command_running_) OpenPath(path.toStdString());
  });
}

}  // namespace slm
