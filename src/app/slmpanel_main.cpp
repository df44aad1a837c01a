// slmpanel: the windowed program.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <memory>

#include "app/demo_meter.h"
#include "app/panel_application.h"
#include "ui/stop_signals.h"
#include "windows/panel_window.h"
#include "windows/port_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("slmpanel");

  QCommandLineParser parser;
  parser.setApplicationDescription("The desktop companion of a hand-held sound level meter.");
  parser.addHelpOption();
  QCommandLineOption port_option("port", "Puts DEVICE first in the port list, so that it is COM1.",
                                 "DEVICE");
  QCommandLineOption demo_option("demo", "Starts the built-in meter emulator and makes it COM1.");
  parser.addOption(port_option);
  parser.addOption(demo_option);
  parser.process(app);

  std::unique_ptr<slm::DemoMeter> demo;
  std::string first = parser.value(port_option).toStdString();
  if (parser.isSet(demo_option)) {
    demo = std::make_unique<slm::DemoMeter>();
    try {
      first = demo->Start();
    } catch (const std::exception& e) {
      QMessageBox::critical(nullptr, "slmpanel",
                            QString("The meter emulator could not start: %1").arg(e.what()));
      return 1;
    }
  }

  // The program's shared state, owned here and handed to the windows.
  slm::PanelApplication shared(first);
  auto device_of = [&shared](int n) { return shared.directory.DeviceOf(n); };

  std::unique_ptr<slm::Panel> panel;
  auto exit_program = [](int code) { QCoreApplication::exit(code); };
  auto* port = new slm::Port(slm::SystemPortEnvironment(device_of), [&](slm::PortChoice choice) {
    // One choice makes one panel.
    if (panel) return;
    panel = slm::OpenPanel(slm::PanelContext{shared.session, shared.timers, shared.dialogs,
                                             shared.printing, shared.ln_table, exit_program},
                           choice);
    shared.dialogs.SetParent(panel.get());
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
  slm::StopSignals stop_signals([&](int) {
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
