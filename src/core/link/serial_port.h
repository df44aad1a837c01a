#pragma once

#include <stdexcept>
#include <string>

namespace slm {

// Bytes on the serial line. A std::string holds them because commands are
// written as letters followed by binary bytes and replies are cut into texts.
using Bytes = std::string;

// A failure of the serial port itself, or a meter that does not answer within
// the limit of an exchange. The message is meant for the user.
class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The fixed line settings of the meter: 38400 baud, no parity, 8 data bits,
// 1 stop bit.
inline constexpr const char* kLineSettings = "38400,n,8,1";

// The operations the program needs of a serial port. Reads are binary and take
// everything buffered. Implementations throw LinkError when the port fails.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Port number 1..16 ("COM1".."COM16").
  virtual void SetCommPort(int number) = 0;
  virtual int CommPort() const = 0;
  virtual void SetSettings(const std::string& settings) = 0;
  virtual bool PortOpen() const = 0;
  // Opening a port that does not exist or is busy throws LinkError.
  virtual void SetPortOpen(bool open) = 0;
  // 0 makes every read return all buffered bytes; the program never uses
  // another value.
  virtual void SetInputLen(int length) = 0;
  virtual int InBufferCount() = 0;
  // Takes all buffered bytes; the buffer is empty afterwards.
  virtual Bytes Input() = 0;
  virtual void Output(const Bytes& bytes) = 0;
};

// The byte at a 1-based position of a reply, 0..255; -1 past either end.
inline int ByteAt(const Bytes& reply, int position) {
  if (position < 1 || position > static_cast<int>(reply.size())) return -1;
  return static_cast<unsigned char>(reply[static_cast<size_t>(position - 1)]);
}

// Builds bytes from small numbers: MakeBytes({'K', 0, 0, 9}).
inline Bytes MakeBytes(std::initializer_list<int> values) {
  Bytes out;
  out.reserve(values.size());
  for (int v : values) out.push_back(static_cast<char>(static_cast<unsigned char>(v)));
  return out;
}

}  // namespace slm
