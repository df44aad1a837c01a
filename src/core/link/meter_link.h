#pragma once

#include <optional>
#include <string>

#include "link/serial_port.h"
#include "link/waiting.h"

namespace slm {

// What the rest of the program does when the meter is lost and found again.
// The link calls LinkLost once per loss and LinkRestored once the meter's
// live frames come back.
class LinkObserver {
 public:
  virtual ~LinkObserver() = default;
  // End a running recording (its file is kept), reset the running values,
  // stop PC sampling, show "No COM" and an empty level, clear list and charts.
  virtual void LinkLost() = 0;
  // Show the port again and start PC sampling again.
  virtual void LinkRestored() = 0;
};

// Bounds of the waits that would otherwise last as long as the meter is silent.
struct LinkLimits {
  // SyncMeter gives up after this long without an acknowledgement.
  double sync_timeout = 3.0;
  // One RecoverLink try listens this long before it returns with the link
  // still lost; the next live tick tries again.
  double resync_try = 1.0;
  // ReadLiveFrame stops discarding bytes that never form a frame after this long.
  double garbage_timeout = 2.0;
};

inline constexpr const char* kMeterDoesNotAnswer =
    "The meter does not answer. Check that it is switched on and connected, then try again.";
inline constexpr const char* kMeterBusy =
    "The meter is busy with another exchange; try again when it has ended.";
inline constexpr const char* kMeterLost =
    "The meter was lost: its serial port stopped working (was the adapter pulled out?).";

// The serial link to the meter: opening, flushing, the attention handshake,
// the newest live frame and the recovery of a lost link.
class MeterLink {
 public:
  MeterLink(SerialPort& port, Rs232& rs232, LinkLimits limits = {});

  void SetObserver(LinkObserver* observer) { observer_ = observer; }
  // Clears the observer only when `observer` is the current one, so that an
  // observer going away never removes the one that took its place.
  void ClearObserver(LinkObserver* observer) {
    if (observer_ == observer) observer_ = nullptr;
  }

  // Opens the port with the meter's line settings. Throws LinkError.
  void Open(int port_number);
  bool IsOpen() const { return open_; }
  // True from the moment the meter was found silent until a live frame is
  // seen again.
  bool Lost() const { return lost_; }
  int PortNumber() const { return port_number_; }
  // "COM3" while the link is up, "No COM" before it is opened and while it is lost.
  std::string PortLabel() const;

  // Discards whatever the port has buffered.
  void Flush();
  // Takes everything the port has buffered.
  Bytes ReadAll();

  // Writes "A" until the meter's acknowledgement is the tail of the input.
  // Throws LinkError(kMeterDoesNotAnswer) after limits().sync_timeout.
  void SyncMeter();
  // SyncMeter, then the key command "K", 0, 0, code.
  void PressKey(int code);
  // Writes a command that has no reply, then waits 0.02 s as the meter needs.
  void SendCommand(const Bytes& command);

  // The newest live frame (6 bytes), or nothing when fewer than 6 bytes came
  // within 100 polls of 0.01 s.
  std::optional<Bytes> ReadLiveFrame();

  // Marks the link lost (telling the observer once per loss) and listens for
  // the meter for at most limits().resync_try. Returns true when a live frame
  // was seen and the link is up again.
  bool RecoverLink();

  // True while a multi-step exchange (the handshake and its key command) owns
  // the port; the live tick leaves the port alone meanwhile.
  bool Busy() const { return busy_ > 0; }

  SerialPort& port() { return port_; }
  Rs232& rs232() { return rs232_; }
  const LinkLimits& limits() const { return limits_; }

  // Marks the port as owned by an exchange for the guard's lifetime.
  class ExchangeGuard {
   public:
    explicit ExchangeGuard(MeterLink& link) : link_(link) { ++link_.busy_; }
    ~ExchangeGuard() { --link_.busy_; }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

   private:
    MeterLink& link_;
  };

  // Owns the port for one whole exchange with the meter. Throws
  // LinkError(kMeterBusy) when another exchange owns it already, so that an
  // exchange never starts inside the waits of another (whose bytes it would
  // flush away).
  class SoleExchange {
   public:
    explicit SoleExchange(MeterLink& link) : link_(link) {
      if (link_.Busy()) throw LinkError(kMeterBusy);
      ++link_.busy_;
    }
    ~SoleExchange() { --link_.busy_; }
    SoleExchange(const SoleExchange&) = delete;
    SoleExchange& operator=(const SoleExchange&) = delete;

   private:
    MeterLink& link_;
  };

 private:
  bool TryResync(double budget);
  void Reopen();

  SerialPort& port_;
  Rs232& rs232_;
  LinkLimits limits_;
  LinkObserver* observer_ = nullptr;
  int port_number_ = 0;
  bool open_ = false;
  bool lost_ = false;
  int busy_ = 0;
};

}  // namespace slm
