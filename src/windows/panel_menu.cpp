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

namespace slm {

namespace {

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

QString DroppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile();
  }
  return {};
}

std::string PanelAboutText() {
  return std::string("slmpanel ") + kProgramVersion +
         "\nThe desktop companion of a hand-held sound level meter.\n" + kPanelBuildCaption;
}

PanelMenu::PanelMenu(QWidget& window, QToolBar& toolbar, LiveCharts& charts)
    : QObject(&window), window_(window), toolbar_(toolbar) {
  auto action = [this](const char* key) { return toolbar_.findChild<QAction*>(key); };
  action("Open")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  action("Save")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  action("Refresh")->setShortcut(QKeySequence(Qt::Key_F5));
  TabReachesToolButtons(toolbar_);
  // In the menus, the items that ask something first end with "...".
  for (const char* key : {"Open", "Save", "Sampling", "RTC", "Erase"}) {
    QAction* item = action(key);
    item->setIconText(item->text());
    item->setText(item->text() + "...");
  }

  bar_ = new QMenuBar(&window_);
  bar_->setObjectName("MenuBar");
  auto add_keys = [&](QMenu* menu, std::initializer_list<const char*> keys) {
    for (const char* key : keys) menu->addAction(action(key));
  };
  QMenu* file = bar_->addMenu("&File");
  file->setObjectName("MenuFile");
  add_keys(file, {"Open", "Save"});
  BuildRecent(file);
  QAction* assess = file->addAction("Assess Files...");
  assess->setObjectName("AssessFiles");
  assess->setToolTip("Several data files (a week of daily files) as one measurement");
  QObject::connect(assess, &QAction::triggered, this, [this] {
    if (on_assess_files) on_assess_files();
  });
  file->addSeparator();
  QAction* quit = file->addAction("Quit");
  quit->setObjectName("Quit");
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  QObject::connect(quit, &QAction::triggered, &window_, [this] { window_.close(); });

  QMenu* meter = bar_->addMenu("&Meter");
  meter->setObjectName("MenuMeter");
  add_keys(meter, {"AC", "FSI", "Up", "Down", "Sampling", "RTC", "Memory", "Erase", "Refresh"});

  BuildView(charts);

  QMenu* help = bar_->addMenu("&Help");
  help->setObjectName("MenuHelp");
  QAction* manual = help->addAction("Manual");
  manual->setObjectName("Manual");
  // F1 in the program's other windows: PanelWindows.
  manual->setShortcut(QKeySequence(Qt::Key_F1));
  QObject::connect(manual, &QAction::triggered, this, [this] {
    if (on_manual) on_manual();
  });
  QAction* about = help->addAction("About");
  about->setObjectName("About");
  QObject::connect(about, &QAction::triggered, this, [this] {
    if (on_about) on_about();
  });

  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window_);
  QObject::connect(escape, &QShortcut::activated, this, [this] {
    if (on_escape) on_escape();
  });
}

void PanelMenu::BuildRecent(QMenu* file) {
  recent_ = file->addMenu("Open Recent");
  recent_->setObjectName("MenuRecent");
  recent_->setToolTipsVisible(true);
  // A fixed set of items, relabelled as the list changes: the item being
  // chosen is never deleted under its own signal.
  for (std::size_t i = 1; i <= kMaxRecentFiles; ++i) {
    QAction* item = recent_->addAction(QString());
    item->setObjectName(QString("RecentFile%1").arg(i));
    QObject::connect(item, &QAction::triggered, this,
                     [this, item] { OpenRecent(item->data().toString().toStdString()); });
  }
  recent_->addSeparator();
  QAction* clear = recent_->addAction("Clear Menu");
  clear->setObjectName("ClearRecent");
  QObject::connect(clear, &QAction::triggered, this, [this] {
    RememberRecentFiles({});
    ShowRecentFiles();
  });
  // Another panel may have opened files since.
  QObject::connect(file, &QMenu::aboutToShow, this, [this] { ShowRecentFiles(); });
  ShowRecentFiles();
}

void PanelMenu::ShowRecentFiles() {
  const RecentFiles recent(RememberedRecentFiles());
  const std::vector<std::string>& paths = recent.paths();
  const QList<QAction*> items = recent_->actions();
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
  recent_->menuAction()->setEnabled(!paths.empty());
}

void PanelMenu::OpenRecent(const std::string& path) {
  if (may_open && !may_open()) return;
  RecentFiles recent(RememberedRecentFiles());
  if (recent.DropIfMissing(path)) {
    RememberRecentFiles(recent.paths());
    ShowRecentFiles();
    if (on_missing_recent) on_missing_recent(MissingRecentFileMessage(path));
    return;
  }
  if (on_open_recent) on_open_recent(path);
}

void PanelMenu::AddRecentFile(const std::string& path) {
  RecentFiles recent(RememberedRecentFiles());
  recent.Add(path);
  RememberRecentFiles(recent.paths());
  ShowRecentFiles();
}

void PanelMenu::BuildView(LiveCharts& charts) {
  QMenu* view = bar_->addMenu("&View");
  view->setObjectName("MenuView");
  // The live chart shown, as SSOpt chooses it: each follows the other.
  auto* chart = new QActionGroup(view);
  const char* const names[] = {"ViewSPL", "ViewLeq", "ViewSEL"};
  for (int i = 0; i < 3; ++i) {
    QRadioButton* option = charts.SSOpt[static_cast<std::size_t>(i)];
    QAction* item = view->addAction(option->text());
    item->setObjectName(names[i]);
    item->setCheckable(true);
    item->setChecked(option->isChecked());
    chart->addAction(item);
    QObject::connect(item, &QAction::triggered, &charts, [&charts, i] { charts.Choose(i); });
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
    window_.setWindowState(on ? window_.windowState() | Qt::WindowFullScreen
                              : window_.windowState() & ~Qt::WindowFullScreen);
  });
  new FullScreenMirror(&window_, full_screen);
}

}  // namespace slm
