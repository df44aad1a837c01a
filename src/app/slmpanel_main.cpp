// slmpanel: the windowed program.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <memory>

#include "app/demo_meter.h"
#include "link/meter_link.h"
#include "windows/port_window.h"
#include "windows/panel_window.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_serial_port.h"
#include "ui/qt_wait.h"
#include "ui/system_ports.h"

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
  slm::PortDirectory directory(first);
  auto device_of = [&directory](int n) { return directory.DeviceOf(n); };
  slm::QtSerialPort serial(device_of);
  slm::QtClock clock;
  slm::QtEventPump pump;
  slm::Rs232 rs232(clock, pump);
  slm::MeterLink link(serial, rs232);
  slm::Reading reading;
  slm::QtDialogs dialogs;
  slm::PcRecorder recorder(slm::PcDateTime);
  slm::LiveChartData charts;

  std::unique_ptr<slm::Panel> panel;
  auto exit_program = [](int code) { QCoreApplication::exit(code); };
  auto* port = new slm::Port(slm::SystemPortEnvironment(device_of), [&](slm::PortChoice choice) {
    panel = std::make_unique<slm::Panel>(
        slm::PanelContext{link, reading, dialogs, recorder, charts, exit_program}, choice);
    dialogs.SetParent(panel.get());
    panel->show();
    panel->Start();
  });
  port->setAttribute(Qt::WA_DeleteOnClose);
  port->show();

  // Closing the port window without a choice ends the program; after a
  // choice the panel decides when it ends.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(port, &QObject::destroyed, [&] {
    if (!panel) QCoreApplication::exit(0);
  });
  const int code = QApplication::exec();
  panel.reset();
  return code;
}
