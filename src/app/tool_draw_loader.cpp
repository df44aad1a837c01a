// Finds and loads slmtool's drawing plugin with Qt's plugin loader. It looks,
// in this order, in the folders of SLMTOOL_PLUGIN_PATH, in slmtool's own
// folder (the build tree), in the plugin folder of the installation slmtool
// runs from, in the one it was built for, and in Qt's plugin folder.
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/tool_draw_plugin.h"

namespace slm::tool {

namespace {

// slmtool's own folder, or "" when the system does not say.
QString ProgramFolder() {
#ifdef __linux__
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && exe.is_absolute()) return QString::fromStdString(exe.parent_path().string());
#endif
  return {};
}

QStringList PluginFolders() {
  QStringList folders;
  auto add = [&](const QString& folder) {
    if (folder.isEmpty()) return;
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (!folders.contains(clean)) folders.append(clean);
  };
  for (const QString& folder : qEnvironmentVariable("SLMTOOL_PLUGIN_PATH")
                                   .split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
    add(folder);
  }
  if (const QString here = ProgramFolder(); !here.isEmpty()) {
    add(here);
    add(here + "/" SLM_PLUGIN_DIR_FROM_BIN);
  }
  add(SLM_PLUGIN_INSTALL_DIR);
  add(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/slmpanel");
  return folders;
}

}  // namespace

ToolDrawing* LoadDrawingPlugin(const std::string& command) {
  static ToolDrawing* drawing = nullptr;
  if (drawing != nullptr) return drawing;
  const QStringList folders = PluginFolders();
  for (const QString& folder : folders) {
    const QString path = folder + "/" SLM_DRAW_PLUGIN_FILE;
    if (!QFileInfo(path).isFile()) continue;
    QPluginLoader loader(path);
    QObject* plugin = loader.instance();
    drawing = qobject_cast<ToolDrawing*>(plugin);
    if (drawing != nullptr) return drawing;
    std::fprintf(stderr, "slmtool %s: cannot load the drawing plugin %s: %s\n", command.c_str(),
                 qPrintable(QDir::toNativeSeparators(path)),
                 plugin != nullptr ? "it belongs to another version of slmtool"
                                   : qPrintable(loader.errorString()));
    return nullptr;
  }
  std::fprintf(stderr,
               "slmtool %s: this command draws with slmtool's drawing plugin, the file %s, "
               "which is in none of these folders:\n",
               command.c_str(), SLM_DRAW_PLUGIN_FILE);
  for (const QString& folder : folders) {
    std::fprintf(stderr, "  %s\n", qPrintable(QDir::toNativeSeparators(folder)));
  }
  std::fprintf(stderr,
               "Install it in one of them, or name its folder in SLMTOOL_PLUGIN_PATH; the "
               "commands that do not draw work without it.\n");
  return nullptr;
}

}  // namespace slm::tool
