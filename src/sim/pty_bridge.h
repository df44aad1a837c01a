#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "sim/meter_model.h"

namespace slm::sim {

// Serves a MeterModel on a new pseudo-terminal, so that programs open its
// device as they would open a serial port. POSIX only.
class PtyBridge {
 public:
  explicit PtyBridge(MeterModel& model);
  ~PtyBridge();
  PtyBridge(const PtyBridge&) = delete;
  PtyBridge& operator=(const PtyBridge&) = delete;

  // Creates the pseudo-terminal (raw, 38400 8N1) and returns the path of its
  // device. Throws std::runtime_error on failure.
  std::string Open();
  const std::string& device() const { return device_; }

  // Makes `path` a symbolic link to the open device, so that a program can be
  // given one name for every emulator started in turn. A symbolic link already
  // there (left by an emulator that was killed) is replaced in one step; any
  // other file is refused. The link goes when the pseudo-terminal closes, if
  // it still points here. Throws std::runtime_error on failure.
  void Link(const std::string& path);

  // Moves bytes between the pseudo-terminal and the model until `stop` is set,
  // or until the model's port vanished (then the pseudo-terminal is closed).
  // Sleeps in poll() until the model or the host has something, so an idle
  // emulator costs next to nothing. `on_command` (optional) sees each complete
  // command the model received; `on_tick` (optional) runs on every pass of the
  // loop with the seconds served so far, to change faults on a schedule.
  void Serve(const std::atomic<bool>& stop,
             const std::function<void(const Bytes&)>& on_command = {},
             const std::function<void(double now)>& on_tick = {});

 private:
  void Close();
  void RemoveLink();

  MeterModel& model_;
  int master_ = -1;
  int slave_ = -1;  // held open so the line keeps its settings between clients
  std::string device_;
  std::string link_;  // the symbolic link to the device, or empty
};

}  // namespace slm::sim
