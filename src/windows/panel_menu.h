#pragma once

#include <QMenuBar>
#include <QMimeData>
#include <QObject>
#include <QToolBar>
#include <QWidget>
#include <functional>
#include <string>

#include "windows/live_charts.h"

namespace slm {

// The panel's title names what it is; a click on the port label shows the
// panel's version and build in it, and About says them too.
inline constexpr const char* kPanelCaption = "Panel";
inline constexpr const char* kPanelBuildCaption = "Panel V10.05 20160323.01";

// What Help > About says.
std::string PanelAboutText();

// The first local file among dropped URLs, or an empty text.
QString DroppedFile(const QMimeData* mime);

// The panel's menu bar and keyboard shortcuts. The menus hold the toolbar's
// own actions, so that a menu item runs the same command and is hidden or
// disabled with its button; File > Open Recent keeps the files opened last
// in the user's settings, and View chooses the live chart and full screen.
class PanelMenu : public QObject {
 public:
  PanelMenu(QWidget& window, QToolBar& toolbar, LiveCharts& charts);

  QMenuBar* bar() const { return bar_; }
  // A file was opened: it heads Open Recent.
  void AddRecentFile(const std::string& path);

  // Asked before a recent file is opened (or found gone): false refuses it.
  std::function<bool()> may_open;
  // A recent file chosen that is still there.
  std::function<void(const std::string& path)> on_open_recent;
  // A recent file chosen that is gone: it is taken off, and this says so.
  std::function<void(const std::string& message)> on_missing_recent;
  std::function<void()> on_about;
  std::function<void()> on_manual;
  // File > "Assess Files...".
  std::function<void()> on_assess_files;
  // Esc: put away the save box and the erase picker.
  std::function<void()> on_escape;

 private:
  void BuildRecent(QMenu* file);
  void ShowRecentFiles();
  void OpenRecent(const std::string& path);
  void BuildView(LiveCharts& charts);

  QWidget& window_;
  QToolBar& toolbar_;
  QMenuBar* bar_ = nullptr;
  QMenu* recent_ = nullptr;
};

}  // namespace slm
