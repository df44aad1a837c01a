#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "link/port_names.h"
#include "qt/system_ports.h"
#include "windows/manual_window.h"

namespace slm {

// How the port window reaches the system: the device list and the programs it
// starts. Tests give their own.
struct PortEnvironment {
  std::function<std::string(int number)> device_of;
  std::function<std::vector<SystemPort>()> system_ports;
  // Starts a program without waiting for it; false when it could not start.
  std::function<bool(const std::string& program, const std::vector<std::string>& args)> launch;
  bool has_device_manager = false;  // Windows' device manager exists
};

// The first window: the user picks the meter's port or Offline Mode.
class Port : public QWidget {
 public:
  Port(PortEnvironment environment, std::function<void(PortChoice)> chosen,
       QWidget* parent = nullptr);

  void CmdOKClicked();
  void OfflineModeClicked();
  void CmdDeviceClicked();
  void CmdGoClicked();
  int port_number() const { return port_number_; }
  // The manual F1 opens before there is a panel.
  ManualWindow* manual() const { return manual_.get(); }

  QComboBox* TxtCOM = nullptr;
  QLabel* LblDevice = nullptr;
  QPushButton* CmdOK = nullptr;
  QPushButton* OfflineMode = nullptr;
  QPushButton* CmdDevice = nullptr;
  QWidget* Picdevice = nullptr;
  QLabel* LblPorts = nullptr;
  QPushButton* CmdGo = nullptr;
  QPushButton* CmdDriver = nullptr;

 private:
  void ShowDeviceOfChoice();
  // "" for no device, and for port 0.
  std::string DeviceOf(int number) const;
  // True the first time only: the window hands over one choice.
  bool TakeChoice();
  QString PortsText() const;

  PortEnvironment environment_;
  std::function<void(PortChoice)> chosen_;
  int port_number_ = 0;
  bool chosen_once_ = false;
  std::unique_ptr<ManualWindow> manual_;
};

// The driver window: a picture of the advice and a button that runs the
// driver script "dev.bat" from the working directory.
class Device : public QWidget {
 public:
  Device(PortEnvironment environment, QWidget* parent = nullptr);
  void CmdOKClicked();
  // False when there is no "dev.bat" here: the button then says so.
  bool has_script() const { return has_script_; }

  QLabel* Picture1 = nullptr;
  QPushButton* CmdOK = nullptr;

 private:
  PortEnvironment environment_;
  bool has_script_ = false;
};

inline constexpr const char* kDeviceManagerProgram = "mmc.exe";
inline constexpr const char* kDeviceManagerArgument = "C:\\WINDOWS\\system32\\devmgmt.msc";
inline constexpr const char* kDriverScript = "dev.bat";

// The environment of the running system.
PortEnvironment SystemPortEnvironment(const std::function<std::string(int)>& device_of);

}  // namespace slm
