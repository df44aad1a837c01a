#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "app/tool_shell.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "platform/stop_signals.h"
#include "sim/meter_model.h"
#include "sim/pty_bridge.h"

namespace slm::tool {

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<double> ParseLevels(const std::string& text, const std::string& path) {
  std::vector<double> levels;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    const std::optional<double> level = ParseNumber(word);
    if (!level) throw std::runtime_error(path + ": \"" + word + "\" is not a level in dB");
    levels.push_back(*level);
  }
  if (levels.empty()) throw std::runtime_error(path + " holds no levels");
  return levels;
}

double NumberPart(const std::string& text, const std::string& option) {
  const std::optional<double> value = ParseNumber(text);
  if (!value) throw std::runtime_error(option + " takes numbers, not \"" + text + "\"");
  return *value;
}

// A whole number of at least `low` in a --fault.
int WholePart(const std::string& text, const std::string& fault, int low) {
  const std::optional<long long> value = ParseInteger(text);
  if (!value || *value < low || *value > 100000000) {
    throw std::runtime_error("--fault " + fault + ": \"" + text + "\" is not a whole number of " +
                             std::to_string(low) + " or more");
  }
  return static_cast<int>(*value);
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, sep)) parts.push_back(part);
  return parts;
}

// A silence of the meter from `start` for `length` seconds of serving.
struct Silence {
  double start;
  double length;
};

std::string Hex(const sim::Bytes& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char b : bytes) {
    std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", b);
    out += buf;
  }
  return out;
}

}  // namespace

int RunEmulate(const std::vector<std::string>& args) {
  const Options options(args,
                        {"--rate", "--level", "--levels", "--walk", "--range", "--sets", "--log",
                         "--fault", "--link"},
                        {"--marker", "--stopped"});

  sim::MeterOptions model_options;
  model_options.rate_hz = options.Number("--rate", 10);
  if (model_options.rate_hz <= 0 || model_options.rate_hz > 500) {
    throw std::runtime_error("--rate takes 0 < HZ <= 500");
  }
  sim::MeterModel model(model_options);
  model.SetClock(PcDateTime(), 0.0);

  if (options.Has("--level")) model.SetLevel(options.Number("--level", 65.3));
  if (options.Has("--levels")) {
    const std::string path = options.Get("--levels");
    model.SetLevels(ParseLevels(ReadWholeFile(path), path));
  }
  if (options.Has("--walk")) {
    const auto parts = Split(options.Get("--walk"), ':');
    if (parts.size() != 2) throw std::runtime_error("--walk takes START:STEP");
    model.SetRandomWalk(NumberPart(parts[0], "--walk"), NumberPart(parts[1], "--walk"));
  }
  if (options.Has("--marker")) model.SetMarker(true);
  // Not measuring: the meter shows STOP, as after "Run Pause Stop" twice.
  if (options.Has("--stopped")) {
    model.SetRun(false);
    model.SetStop(true);
  }
  if (options.Has("--range")) model.SetRangeCode(static_cast<int>(options.Number("--range", 0)));
  if (options.Has("--sets"))
    model.SetSets(sim::MeterModel::ParseSets(ReadWholeFile(options.Get("--sets"))));

  std::vector<Silence> silences;
  for (const std::string& fault : options.All("--fault")) {
    const auto parts = Split(fault, ':');
    if (parts.empty()) throw std::runtime_error("empty --fault");
    if (parts[0] == "silence" && parts.size() == 3) {
      silences.push_back({NumberPart(parts[1], "--fault"), NumberPart(parts[2], "--fault")});
    } else if (parts[0] == "silence" && parts.size() == 1) {
      model.faults().silent = true;
    } else if (parts[0] == "garbage") {
      model.faults().garbage_between =
          parts.size() > 1 ? static_cast<int>(NumberPart(parts[1], "--fault")) : 7;
    } else if (parts[0] == "short-replies" && parts.size() == 1) {
      model.faults().short_replies = true;
    } else if (parts[0] == "short-replies" && parts.size() == 2) {
      model.faults().reply_cut = WholePart(parts[1], fault, 0);
    } else if (parts[0] == "no-ack") {
      model.faults().no_ack = true;
    } else if (parts[0] == "longer") {
      model.faults().trailing_bytes = parts.size() > 1 ? WholePart(parts[1], fault, 1) : 8;
    } else if (parts[0] == "garbage-replies" && parts.size() == 1) {
      model.faults().garbage_replies = true;
    } else if (parts[0] == "ignore" && parts.size() == 2 && !parts[1].empty()) {
      model.faults().ignored = parts[1];
    } else if (parts[0] == "slow" && parts.size() == 2) {
      model.faults().line_rate = WholePart(parts[1], fault, 1);
    } else if (parts[0] == "bursts" && parts.size() == 3) {
      model.faults().burst_bytes = WholePart(parts[1], fault, 1);
      model.faults().burst_pause = NumberPart(parts[2], "--fault");
    } else if (parts[0] == "slow-start" && parts.size() == 2) {
      model.faults().slow_start = NumberPart(parts[1], "--fault");
    } else if (parts[0] == "vanish" && parts.size() == 2) {
      model.faults().vanish_after = WholePart(parts[1], fault, 0);
    } else if (parts[0] == "freeze-after" && (parts.size() == 2 || parts.size() == 3) &&
               !parts[1].empty()) {
      model.faults().freeze_after = parts[1];
      if (parts.size() == 3) model.faults().freeze_seconds = NumberPart(parts[2], "--fault");
    } else {
      throw std::runtime_error("unknown --fault " + fault);
    }
  }

  std::ofstream log;
  if (options.Has("--log")) {
    log.open(options.Get("--log"), std::ios::trunc);
    if (!log) throw std::runtime_error("cannot write " + options.Get("--log"));
  }

  sim::PtyBridge bridge(model);
  const std::string device = bridge.Open();
  // A fixed name for the device, for a program started once while emulators
  // come and go; it goes again when the emulator ends.
  if (options.Has("--link")) bridge.Link(options.Get("--link"));
  std::printf("device: %s\n", device.c_str());
  std::fflush(stdout);

  // SIGINT, SIGTERM and SIGHUP end the emulator; the bridge looks between polls.
  const platform::StopSignals stop_signals;
  const bool always_silent = model.faults().silent;
  bool frozen = false;
  bridge.Serve(
      stop_signals.arrived(),
      [&](const sim::Bytes& command) {
        if (log.is_open()) log << Hex(command) << std::endl;
      },
      [&](double now) {
        // A frozen meter is said on stderr when it freezes and when it is back.
        if (model.Frozen(now) != frozen) {
          frozen = !frozen;
          std::fprintf(stderr, frozen ? "The meter froze.\n" : "The meter is back.\n");
        }
        if (silences.empty()) return;
        bool silent = always_silent;
        for (const Silence& s : silences) {
          if (now >= s.start && now < s.start + s.length) silent = true;
        }
        model.faults().silent = silent;
      });
  if (!stop_signals.arrived())
    std::fprintf(stderr, "The emulated port vanished (--fault vanish).\n");
  return 0;
}

}  // namespace slm::tool
