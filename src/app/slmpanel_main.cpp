// slmpanel: the windowed program.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string_view>

#include "app/demo_meter.h"
#include "app/panel_application.h"
#include "base/version.h"
#include "qt/stop_signal_notifier.h"
#include "windows/panel_window.h"
#include "windows/port_window.h"

namespace {

constexpr const char* kUsage =
    "usage: slmpanel [--port DEVICE] [--demo] [FILE...]\n"
    "\n"
    "The desktop companion of a hand-held sound level meter.\n"
    "\n"
    "arguments:\n"
    "  FILE...        Data files to open once the panel is open, as Open opens them.\n"
    "\n"
    "options:\n"
    "  --port DEVICE  Puts DEVICE first in the port list, so that it is COM1.\n"
    "  --demo         Starts the built-in meter emulator and makes it COM1.\n"
    "  -h, --help     Prints this help and ends.\n"
    "  -v, --version  Prints the program's version and ends.\n";

// --help and --version are answered before Qt starts, so that they work
// without a display. Returns the exit code, or -1 to go on.
int AnswerWithoutDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h" || arg == "-?") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version" || arg == "-v") {
      std::printf("slmpanel %s\n", slm::kProgramVersion);
      return 0;
    }
    // DEVICE of --port is a value, not an option.
    if (arg == "--port") ++i;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int code = AnswerWithoutDisplay(argc, argv); code >= 0) return code;
  QApplication app(argc, argv);
  QApplication::setApplicationName("slmpanel");
  // Window managers show "caption — slmpanel"; the captions stay as set.
  QGuiApplication::setApplicationDisplayName("slmpanel");

  QCommandLineParser parser;
  parser.setApplicationDescription("The desktop companion of a hand-held sound level meter.");
  parser.addHelpOption();
  QCommandLineOption port_option("port", "Puts DEVICE first in the port list, so that it is COM1.",
                                 "DEVICE");
  QCommandLineOption demo_option("demo", "Starts the built-in meter emulator and makes it COM1.");
  parser.addOption(port_option);
  parser.addOption(demo_option);
  parser.addPositionalArgument(
      "FILE", "Data files to open once the panel is open, as Open opens them.", "[FILE...]");
  parser.process(app);
  const QStringList files = parser.positionalArguments();

  // The demo's meter runs inside the program, on its event loop: COM1.
  std::unique_ptr<slm::DemoMeter> demo;
  std::string first = parser.value(port_option).toStdString();
  if (parser.isSet(demo_option)) {
    demo = std::make_unique<slm::DemoMeter>();
    first = slm::DemoMeter::kDevice;
  }

  // The program's shared state, owned here and handed to the windows.
  slm::PanelApplication shared(first, demo.get());
  if (demo) demo->SetOtherPorts(shared.meter.system_port());
  auto device_of = [&shared](int n) { return shared.meter.directory().DeviceOf(n); };

  std::unique_ptr<slm::Panel> panel;
  auto exit_program = [](int code) { QCoreApplication::exit(code); };
  auto* port = new slm::Port(slm::SystemPortEnvironment(device_of), [&](slm::PortChoice choice) {
    // One choice makes one panel.
    if (panel) return;
    panel = slm::OpenPanel(slm::PanelContext{shared.session, shared.timers, shared.dialogs,
                                             shared.printing, shared.ln_table, exit_program},
                           choice);
    shared.dialogs.SetParent(panel.get());
    if (!panel) return;
    // The files named on the command line, once the panel is on show; each
    // that cannot be read says so as Open does.
    QTimer::singleShot(0, panel.get(), [&panel, files] {
      for (const QString& file : files) panel->OpenPath(file.toStdString());
    });
  });
  port->setAttribute(Qt::WA_DeleteOnClose);
  port->show();

  // Closing the port window without a choice ends the program; after a
  // choice the panel decides when it ends.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(port, &QObject::destroyed, [&] {
    if (!panel) QCoreApplication::exit(0);
  });
  // SIGTERM, Ctrl+C, a closed terminal or a logout: end as the user closing
  // the window does, which writes a running recording into its file.
  slm::StopSignalNotifier stop_signals([&](int) {
    if (panel) {
      panel->CloseForSignal();
    } else {
      QCoreApplication::exit(0);
    }
  });
  const int code = QApplication::exec();
  panel.reset();
  return code;
}
