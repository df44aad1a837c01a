#include "link/meter_link.h"

#include "link/meter.h"

namespace slm {

MeterLink::MeterLink(SerialPort& port, Rs232& rs232, LinkLimits limits)
    : port_(port), rs232_(rs232), limits_(limits) {}

void MeterLink::Open(int port_number) {
  port_number_ = port_number;
  port_.SetCommPort(port_number);
  port_.SetSettings(kLineSettings);
  if (!port_.PortOpen()) port_.SetPortOpen(true);
  open_ = true;
  lost_ = false;
}

std::string MeterLink::PortLabel() const {
  if (!open_ || lost_) return "No COM";
  return "COM" + std::to_string(port_number_);
}

void MeterLink::Flush() {
  port_.SetInputLen(0);
  port_.Input();
}

Bytes MeterLink::ReadAll() {
  port_.SetInputLen(0);
  return port_.Input();
}

void MeterLink::SyncMeter() {
  ExchangeGuard guard(*this);
  Stopwatch watch(rs232_);
  for (;;) {
    Flush();
    do {
      if (watch.Passed(limits_.sync_timeout)) throw LinkError(kMeterDoesNotAnswer);
      port_.Output("A");
      rs232_.Wait(0.2);
    } while (port_.InBufferCount() < kFrameLength);
    if (TailIsAcknowledgement(ReadAll())) return;
  }
}

void MeterLink::PressKey(int code) {
  ExchangeGuard guard(*this);
  SyncMeter();
  port_.Output(KeyCommand(code));
}

void MeterLink::SendCommand(const Bytes& command) {
  ExchangeGuard guard(*this);
  port_.Output(command);
  rs232_.Wait(0.02);
}

std::optional<Bytes> MeterLink::ReadLiveFrame() {
  Stopwatch watch(rs232_);
  Flush();
  // The bytes since the flush, kept across polls: a flush can land inside a
  // frame, and the frame under way completes with the next poll rather than
  // being flushed again (a stream and a poll in step would otherwise never
  // show a whole frame at the tail).
  Bytes input;
  for (int polls = 1;; ++polls) {
    rs232_.Wait(0.01);
    if (port_.InBufferCount() > 0) input += ReadAll();
    if (input.size() < kFrameLength) {
      if (polls >= 100) return std::nullopt;
      continue;
    }
    // An acknowledgement meant for another exchange is not a reading.
    if (TailIsFrame(input) && !TailIsAcknowledgement(input)) {
      return input.substr(input.size() - kFrameLength);
    }
    // Bytes that never form a frame are as good as silence.
    if (watch.Passed(limits_.garbage_timeout)) return std::nullopt;
    if (input.size() > 4 * kFrameLength) input.erase(0, input.size() - kFrameLength);
  }
}

bool MeterLink::RecoverLink() {
  if (!lost_) {
    lost_ = true;
    if (observer_ != nullptr) observer_->LinkLost();
  }
  bool found = false;
  try {
    found = TryResync(limits_.resync_try);
  } catch (const LinkError&) {
    // The port itself failed (a USB adapter pulled out): open it again so
    // that the meter is found when it is plugged back in.
    Reopen();
  }
  if (!found) return false;
  lost_ = false;
  if (observer_ != nullptr) observer_->LinkRestored();
  return true;
}

bool MeterLink::TryResync(double budget) {
  Stopwatch watch(rs232_);
  for (;;) {
    Flush();
    while (port_.InBufferCount() < kFrameLength) {
      if (watch.Passed(budget)) return false;
      rs232_.Wait(0.02);
    }
    const Bytes input = ReadAll();
    if (TailIsFrame(input) && !TailIsAcknowledgement(input)) return true;
    if (watch.Passed(budget)) return false;
  }
}

void MeterLink::Reopen() {
  Stopwatch watch(rs232_);
  try {
    port_.SetPortOpen(false);
    port_.SetPortOpen(true);
  } catch (const LinkError&) {
    // Still gone; keep the user interface alive for the rest of this try.
  }
  const double left = limits_.resync_try - watch.Elapsed();
  if (left > 0) rs232_.Wait(left);
}

}  // namespace slm
