#include "windows/port_window.h"

#include <QCompleter>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProcess>
#include <QShortcut>
#include <QVBoxLayout>
#include <utility>

#include "link/port_names.h"
#include "ui/keyboard.h"
#include "ui/user_settings.h"

namespace slm {

Port::Port(PortEnvironment environment, std::function<void(PortChoice)> chosen, QWidget* parent)
    : QWidget(parent), environment_(std::move(environment)), chosen_(std::move(chosen)) {
  setObjectName("Port");
  setWindowTitle("COM Port");
  auto* layout = new QVBoxLayout(this);

  auto* row = new QHBoxLayout;
  TxtCOM = new QComboBox(this);
  TxtCOM->setObjectName("TxtCOM");
  TxtCOM->setEditable(true);
  TxtCOM->setInsertPolicy(QComboBox::NoInsert);
  for (int n = 1; n <= kPortCount; ++n)
    TxtCOM->addItem(QString::fromStdString(PortNameOfNumber(n)));
  TxtCOM->setCurrentText("COM1");
  // The port chosen last time, if its device is still there.
  if (const int last = PortNumberOfDevice(RememberedPortDevice(), environment_.device_of)) {
    TxtCOM->setCurrentText(QString::fromStdString(PortNameOfNumber(last)));
  }
  // Port names are exact: "com3" is not COM3. The combo box's own completer
  // matches without case and would turn "com3" into "COM3" when editing ends.
  TxtCOM->completer()->setCaseSensitivity(Qt::CaseSensitive);
  row->addWidget(TxtCOM);
  LblDevice = new QLabel(this);
  LblDevice->setObjectName("LblDevice");
  LblDevice->setMinimumWidth(180);
  row->addWidget(LblDevice, 1);
  layout->addLayout(row);
  QObject::connect(TxtCOM, &QComboBox::currentTextChanged, this, [this] { ShowDeviceOfChoice(); });

  auto* buttons = new QHBoxLayout;
  CmdOK = new QPushButton("OK", this);
  CmdOK->setObjectName("CmdOK");
  CmdOK->setDefault(true);
  OfflineMode = new QPushButton("Offline Mode", this);
  OfflineMode->setObjectName("OfflineMode");
  CmdDevice = new QPushButton("Device Manager", this);
  CmdDevice->setObjectName("CmdDevice");
  buttons->addWidget(CmdOK);
  buttons->addWidget(OfflineMode);
  buttons->addWidget(CmdDevice);
  layout->addLayout(buttons);
  QObject::connect(CmdOK, &QPushButton::clicked, this, [this] { CmdOKClicked(); });
  // Return answers OK, Esc closes the box.
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
    QObject::connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, CmdOK,
                     &QPushButton::click);
  }
  AddCloseKeys(*this);
  QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
                   [this] { ShowManual(manual_, *this); });
  // Enter in the port box is the same as OK.
  QObject::connect(TxtCOM->lineEdit(), &QLineEdit::returnPressed, this, [this] { CmdOKClicked(); });
  QObject::connect(OfflineMode, &QPushButton::clicked, this, [this] { OfflineModeClicked(); });
  QObject::connect(CmdDevice, &QPushButton::clicked, this, [this] { CmdDeviceClicked(); });

  Picdevice = new QWidget(this);
  Picdevice->setObjectName("Picdevice");
  auto* picture = new QVBoxLayout(Picdevice);
  LblPorts = new QLabel(Picdevice);
  LblPorts->setObjectName("LblPorts");
  LblPorts->setTextFormat(Qt::RichText);
  LblPorts->setWordWrap(true);
  LblPorts->setMinimumWidth(480);
  picture->addWidget(LblPorts);
  auto* picture_buttons = new QHBoxLayout;
  CmdDriver = new QPushButton("Install Driver...", Picdevice);
  CmdDriver->setObjectName("CmdDriver");
  CmdGo = new QPushButton("OK", Picdevice);
  CmdGo->setObjectName("CmdGo");
  picture_buttons->addWidget(CmdDriver);
  picture_buttons->addStretch();
  picture_buttons->addWidget(CmdGo);
  picture->addLayout(picture_buttons);
  layout->addWidget(Picdevice);
  Picdevice->hide();
  QObject::connect(CmdGo, &QPushButton::clicked, this, [this] { CmdGoClicked(); });
  QObject::connect(CmdDriver, &QPushButton::clicked, this, [this] {
    auto* device = new Device(environment_);
    device->setAttribute(Qt::WA_DeleteOnClose);
    device->move(pos());
    device->show();
  });

  ShowDeviceOfChoice();
  adjustSize();
  // Where the user looks first: a little in from the screen's top-left corner.
  move(247, 180);
}

void Port::ShowDeviceOfChoice() {
  const int number = PortNumberOfName(TxtCOM->currentText().toStdString());
  if (number == 0) {
    LblDevice->setText("not a port name (COM1 to COM16)");
    return;
  }
  const std::string device = DeviceOf(number);
  LblDevice->setText(device.empty() ? QString("no device") : "= " + QString::fromStdString(device));
}

std::string Port::DeviceOf(int number) const {
  return number != 0 && environment_.device_of ? environment_.device_of(number) : "";
}

bool Port::TakeChoice() { return !std::exchange(chosen_once_, true); }

void Port::CmdOKClicked() {
  // Return in the port box reaches both its own handler and the default
  // button; the window makes one choice only.
  if (!TakeChoice()) return;
  // Only the sixteen exact names choose a port; anything else keeps the last one.
  const int number = PortNumberOfName(TxtCOM->currentText().toStdString());
  if (number != 0) port_number_ = number;
  if (const std::string device = DeviceOf(port_number_); !device.empty()) {
    RememberPortDevice(device);
  }
  PortChoice choice{port_number_, false};
  close();
  if (chosen_) chosen_(choice);
}

void Port::OfflineModeClicked() {
  if (!TakeChoice()) return;
  close();
  if (chosen_) chosen_(PortChoice{port_number_, true});
}

QString Port::PortsText() const {
  QString text =
      "<b>Serial ports on this computer</b><br>With a USB-to-RS232 adapter, pick the adapter's "
      "port; otherwise the communications port.<br><table cellspacing=4>"
      "<tr><th align=left>Name</th><th align=left>Device</th><th align=left>Description</th>"
      "<th align=left>Maker</th><th align=left>Serial No.</th></tr>";
  const std::vector<SystemPort> ports =
      environment_.system_ports ? environment_.system_ports() : std::vector<SystemPort>{};
  bool any = false;
  for (int n = 1; n <= kPortCount; ++n) {
    const std::string device = environment_.device_of ? environment_.device_of(n) : "";
    if (device.empty()) continue;
    SystemPort info{device, "", "", ""};
    for (const SystemPort& p : ports) {
      if (p.device == device) info = p;
    }
    any = true;
    text += QString("<tr><td>COM%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>")
                .arg(n)
                .arg(QString::fromStdString(info.device).toHtmlEscaped(),
                     QString::fromStdString(info.description).toHtmlEscaped(),
                     QString::fromStdString(info.manufacturer).toHtmlEscaped(),
                     QString::fromStdString(info.serial_number).toHtmlEscaped());
  }
  text += "</table>";
  if (!any) text += "No serial port was detected. Plug in the meter's cable and look again.";
  return text;
}

void Port::CmdDeviceClicked() {
  LblPorts->setText(PortsText());
  Picdevice->show();
  adjustSize();
}

void Port::CmdGoClicked() {
  if (environment_.has_device_manager && environment_.launch) {
    environment_.launch(kDeviceManagerProgram, {kDeviceManagerArgument});
  }
  Picdevice->hide();
  adjustSize();
}

Device::Device(PortEnvironment environment, QWidget* parent)
    : QWidget(parent), environment_(std::move(environment)) {
  setObjectName("Device");
  setWindowTitle("Device");
  auto* layout = new QVBoxLayout(this);
  Picture1 = new QLabel(
      "Look up the port of the USB-to-RS232 adapter in the list of serial ports "
      "(\"Device Manager\" in the port window), then pick that port.",
      this);
  Picture1->setObjectName("Picture1");
  Picture1->setWordWrap(true);
  layout->addWidget(Picture1);
  CmdOK = new QPushButton(this);
  CmdOK->setObjectName("CmdOK");
  has_script_ = QFileInfo::exists(kDriverScript);
  if (has_script_) {
    CmdOK->setText("OK");
  } else {
    CmdOK->setText("OK (no driver to install here)");
    CmdOK->setToolTip(
        "There is no \"dev.bat\" in the working folder, so there is nothing to install.");
  }
  layout->addWidget(CmdOK);
  QObject::connect(CmdOK, &QPushButton::clicked, this, [this] { CmdOKClicked(); });
  // Return answers OK, Esc closes the box.
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
    QObject::connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, CmdOK,
                     &QPushButton::click);
  }
  AddCloseKeys(*this);
}

void Device::CmdOKClicked() {
  if (has_script_ && environment_.launch) environment_.launch(kDriverScript, {});
  close();
}

PortEnvironment SystemPortEnvironment(const std::function<std::string(int)>& device_of) {
  PortEnvironment env;
  env.device_of = device_of;
  env.system_ports = [] { return SystemSerialPorts(); };
  env.launch = [](const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
  };
#ifdef Q_OS_WIN
  env.has_device_manager = true;
#endif
  return env;
}

}  // namespace slm
