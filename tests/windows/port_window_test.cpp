#include "windows/port_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace slm {
namespace {

struct Launched {
  std::string program;
  std::vector<std::string> args;
};

class PortWindowTest : public ::testing::Test {
 protected:
  PortEnvironment Environment(bool device_manager) {
    PortEnvironment env;
    env.device_of = [this](int n) {
      return n <= static_cast<int>(devices.size()) ? devices[static_cast<size_t>(n - 1)] : "";
    };
    env.system_ports = [] {
      return std::vector<SystemPort>{{"/dev/ttyUSB0", "USB-Serial Controller", "Prolific", "A1B2"},
                                     {"/dev/ttyUSB1", "FT232R", "FTDI", "X9"}};
    };
    env.launch = [this](const std::string& program, const std::vector<std::string>& args) {
      launched.push_back({program, args});
      return true;
    };
    env.has_device_manager = device_manager;
    return env;
  }
  std::unique_ptr<Port> MakePort(bool device_manager = false) {
    return std::make_unique<Port>(Environment(device_manager),
                                  [this](PortChoice c) { choices.push_back(c); });
  }

  // COM1, COM2...; the others stand for no device.
  std::vector<std::string> devices{"/dev/ttyUSB0", "/dev/ttyUSB1"};
  std::vector<PortChoice> choices;
  std::vector<Launched> launched;
};

TEST_F(PortWindowTest, SixteenNamesWithComOnePreset) {
  auto port = MakePort();
  ASSERT_EQ(port->TxtCOM->count(), 16);
  EXPECT_EQ(port->TxtCOM->itemText(0), "COM1");
  EXPECT_EQ(port->TxtCOM->itemText(15), "COM16");
  EXPECT_EQ(port->TxtCOM->currentText(), "COM1");
  EXPECT_TRUE(port->LblDevice->text().contains("/dev/ttyUSB0"));
  port->TxtCOM->setCurrentText("COM5");
  EXPECT_EQ(port->LblDevice->text(), "no device");
}

TEST_F(PortWindowTest, TypedNamesChooseOnlyWhenExactAndReturnChoosesOnce) {
  const struct {
    const char* typed;
    int port_number;  // 0: no port chosen
  } cases[] = {{"com3", 0}, {"COM16", 16}, {"COM17", 0}};
  for (const auto& c : cases) {
    choices.clear();
    auto port = MakePort();
    port->show();
    QLineEdit* box = port->TxtCOM->lineEdit();
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, c.typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(choices.size(), 1u) << c.typed;
    if (choices.empty()) continue;
    EXPECT_EQ(choices[0].port_number, c.port_number) << c.typed;
    EXPECT_FALSE(choices[0].offline) << c.typed;
    EXPECT_EQ(port->TxtCOM->currentText().toStdString(), c.typed) << "the box changed the name";
  }
}

// OK alone chooses the last port chosen again while its device is there;
// Offline Mode and names without a device are not remembered.
TEST_F(PortWindowTest, TheLastChosenPortIsPresetWhileItsDeviceIsThere) {
  auto chosen = MakePort();
  chosen->TxtCOM->setCurrentText("COM2");
  chosen->CmdOKClicked();
  auto offline = MakePort();
  offline->TxtCOM->setCurrentText("COM1");
  offline->OfflineModeClicked();
  for (const char* name : {"COM5", "com1", "COM17"}) {
    auto port = MakePort();
    port->TxtCOM->setCurrentText(name);
    port->CmdOKClicked();
    EXPECT_EQ(MakePort()->TxtCOM->currentText(), "COM2") << name;
  }
  // Every way out makes one choice.
  offline->CmdOKClicked();
  offline->CmdOK->click();
  ASSERT_EQ(choices.size(), 5u);
  EXPECT_TRUE(choices[1].offline);
  EXPECT_EQ(choices[2].port_number, 5);

  auto again = MakePort();
  EXPECT_TRUE(again->LblDevice->text().contains("/dev/ttyUSB1"));
  again->CmdOKClicked();
  EXPECT_EQ(choices.back().port_number, 2);
  // Unplugged: the usual first port.
  devices = {"/dev/ttyUSB0"};
  EXPECT_EQ(MakePort()->TxtCOM->currentText(), "COM1");
}

// "Go" starts the system's device manager only where there is one.
TEST_F(PortWindowTest, DeviceListThenBack) {
  for (const bool device_manager : {false, true}) {
    auto port = MakePort(device_manager);
    EXPECT_TRUE(port->Picdevice->isHidden());
    port->CmdDeviceClicked();
    EXPECT_FALSE(port->Picdevice->isHidden());
    for (const char* shown : {"COM1", "/dev/ttyUSB1", "Prolific", "X9"}) {
      EXPECT_TRUE(port->LblPorts->text().contains(shown)) << shown;
    }
    port->CmdGoClicked();
    EXPECT_TRUE(port->Picdevice->isHidden());
    EXPECT_EQ(launched.size(), device_manager ? 1u : 0u);
  }
  EXPECT_EQ(launched[0].program, "mmc.exe");
  EXPECT_EQ(launched[0].args, std::vector<std::string>{"C:\\WINDOWS\\system32\\devmgmt.msc"});
}

TEST_F(PortWindowTest, DriverWindowRunsTheScriptOnlyWhenThereIsOne) {
  QTemporaryDir dir;
  const QString old = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  for (const bool script : {false, true}) {
    QFile bat(dir.filePath("dev.bat"));
    if (script) {
      ASSERT_TRUE(bat.open(QIODevice::WriteOnly));
    }
    bat.close();
    Device device(Environment(false));
    EXPECT_EQ(device.has_script(), script);
    EXPECT_EQ(device.CmdOK->text(), script ? "OK" : "OK (no driver to install here)");
    device.CmdOKClicked();
    ASSERT_EQ(launched.size(), script ? 1u : 0u);
  }
  EXPECT_EQ(launched[0].program, "dev.bat");
  QDir::setCurrent(old);
}

}  // namespace
}  // namespace slm
