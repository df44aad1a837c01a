#include "qt/qt_serial_port.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <optional>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "link/port_names.h"

namespace slm {

QtSerialPort::QtSerialPort(DeviceOf device_of) : device_of_(std::move(device_of)) {}

QtSerialPort::~QtSerialPort() {
  if (port_.isOpen()) port_.close();
}

void QtSerialPort::SetCommPort(int number) { number_ = number; }

std::string QtSerialPort::Device() const {
  if (number_ < 1 || number_ > kPortCount || !device_of_) return {};
  return device_of_(number_);
}

void QtSerialPort::SetSettings(const std::string& settings) {
  // "38400,n,8,1": baud, parity, data bits, stop bits.
  const QStringList parts = QString::fromLatin1(settings.c_str()).split(',');
  if (parts.size() != 4) throw LinkError("Bad line settings: " + settings);
  bool ok = false;
  baud_ = parts[0].toInt(&ok);
  if (!ok || baud_ <= 0) throw LinkError("Bad baud rate: " + settings);
  const QString parity = parts[1].toLower();
  parity_ = parity == "e"   ? QSerialPort::EvenParity
            : parity == "o" ? QSerialPort::OddParity
                            : QSerialPort::NoParity;
  data_bits_ = static_cast<QSerialPort::DataBits>(parts[2].toInt());
  stop_bits_ = parts[3] == "2" ? QSerialPort::TwoStop : QSerialPort::OneStop;
  if (port_.isOpen()) {
    port_.setBaudRate(baud_);
    port_.setParity(parity_);
    port_.setDataBits(data_bits_);
    port_.setStopBits(stop_bits_);
  }
}

namespace {

// What can be told about a device path before trying to open it.
std::optional<OpenFailure> CheckDevice(const QString& location) {
  const QFileInfo info(location);
  if (!info.exists()) return OpenFailure::kNotFound;
#ifdef Q_OS_WIN
  if (info.isFile() || info.isDir()) return OpenFailure::kNotSerial;
#else
  // Serial ports are character devices; a file, folder, socket or pipe is none.
  struct stat status {};
  if (::stat(QFile::encodeName(location).constData(), &status) != 0) {
    return OpenFailureOfError(errno);
  }
  if (!S_ISCHR(status.st_mode)) return OpenFailure::kNotSerial;
#endif
  if (!info.isReadable() || !info.isWritable()) return OpenFailure::kNoAccess;
  return std::nullopt;
}

#ifndef Q_OS_WIN
// Why a device that QSerialPort did not open refuses, asked of the system
// itself: Qt gives only its own text for errors it does not sort. Nothing
// when the device opens as a terminal here.
std::optional<OpenFailure> AskSystem(const QString& location) {
  const int fd =
      ::open(QFile::encodeName(location).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return OpenFailureOfError(errno);
  const bool terminal = ::isatty(fd) == 1;
  ::close(fd);
  if (!terminal) return OpenFailure::kNotSerial;
  return std::nullopt;
}
#endif

// Why QSerialPort did not open a device that exists and may be used.
OpenFailure FailureOf(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return OpenFailure::kNotFound;
    case QSerialPort::PermissionError:
      // The device may be used, so it is locked or held by another program.
      return OpenFailure::kInUse;
    case QSerialPort::UnsupportedOperationError:
      return OpenFailure::kNotSerial;
    default:
      return OpenFailure::kOther;
  }
}

}  // namespace

bool QtSerialPort::PortOpen() const { return port_.isOpen(); }

void QtSerialPort::SetPortOpen(bool open) {
  if (!open) {
    if (port_.isOpen()) port_.close();
    return;
  }
  if (port_.isOpen()) return;
  const std::string device = Device();
  const std::string name = PortNameOfNumber(number_);
  if (device.empty()) throw LinkError(OpenFailureText(OpenFailure::kNoDevice, name, device));
#ifdef Q_OS_WIN
  const QString location = QString::fromStdString(device);  // the system's own port name
#else
  const QString location =
      QString::fromStdString(DeviceLocation(device, QDir::currentPath().toStdString()));
  if (const std::optional<OpenFailure> failure = CheckDevice(location)) {
    throw LinkError(OpenFailureText(*failure, name, location.toStdString()));
  }
#endif
  port_.setPortName(location);
  if (!port_.open(QIODevice::ReadWrite)) {
    OpenFailure failure = FailureOf(port_.error());
    port_.clearError();
#ifndef Q_OS_WIN
    if (const std::optional<OpenFailure> system = AskSystem(location)) failure = *system;
#endif
    throw LinkError(OpenFailureText(failure, name, location.toStdString()));
  }
  port_.setBaudRate(baud_);
  port_.setParity(parity_);
  port_.setDataBits(data_bits_);
  port_.setStopBits(stop_bits_);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  port_.clearError();
}

void QtSerialPort::ThrowIfFailed(const char* what) {
  const auto error = port_.error();
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
  const std::string text = port_.errorString().toStdString();
  port_.clearError();
  throw LinkError(std::string("The serial port failed while ") + what + ": " + text);
}

void QtSerialPort::Fetch() {
  if (!port_.isOpen()) throw LinkError("The serial port is not open.");
  // Takes what the system has received without waiting for the event loop.
  port_.waitForReadyRead(0);
  ThrowIfFailed("reading");
}

int QtSerialPort::InBufferCount() {
  Fetch();
  return static_cast<int>(port_.bytesAvailable());
}

Bytes QtSerialPort::Input() {
  Fetch();
  const QByteArray data = port_.readAll();
  return Bytes(data.constData(), static_cast<size_t>(data.size()));
}

void QtSerialPort::Output(const Bytes& bytes) {
  if (!port_.isOpen()) throw LinkError("The serial port is not open.");
  port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  port_.flush();
  ThrowIfFailed("writing");
}

}  // namespace slm
