#include "app/demo_meter.h"

#include "base/calendar.h"
#include "sim/meter_model.h"

namespace slm {

namespace {

// Three logged sets for the demo: a short one with a pause, a longer street
// recording and an hour of a quiet office, so that "Memory" has something to
// list and download.
std::string DemoSets() {
  std::string text;
  const struct {
    const char* head;
    int records;
    double start;
    double spread;
  } sets[] = {{"1;2024/05/01 10:00:00;1;A;FAST;30-90;", 120, 55.0, 4.0},
              {"2;2024/05/01 11:00:00;2;A;SLOW;60-120;", 1800, 72.0, 9.0},
              {"3;2024/05/02 09:00:00;1;C;FAST;30-90;", 3600, 45.0, 3.0}};
  for (const auto& set : sets) {
    text += set.head;
    for (int i = 0; i < set.records; ++i) {
      // A slow swell with a faster ripple, in tenths of a dB.
      const int tenths = static_cast<int>(set.start * 10) + (i * 37 % 61) - 30 +
                         static_cast<int>(set.spread * ((i / 50) % 5));
      if (i >= set.records / 3 && i < set.records / 3 + 10) text += "p:";
      text += std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " ";
    }
    text += "\n";
  }
  return text;
}

}  // namespace

DemoMeter::DemoMeter() {
  sim::MeterModel& model = meter_.model();
  model.SetClock(PcDateTime(), 0.0);
  model.SetSets(sim::MeterModel::ParseSets(DemoSets()));
  // A quiet office with some traffic outside, on the 60-120 dB range.
  model.SetRangeCode(2);
  model.SetRandomWalk(68.0, 0.6);
}

SerialPort& DemoMeter::Current() const {
  if (number_ == 1 || others_ == nullptr) return meter_;
  return *others_;
}

// Both sides hear the number, so that either is ready when chosen.
void DemoMeter::SetCommPort(int number) {
  number_ = number;
  meter_.SetCommPort(number);
  if (others_ != nullptr) others_->SetCommPort(number);
}

void DemoMeter::SetSettings(const std::string& settings) {
  meter_.SetSettings(settings);
  if (others_ != nullptr) others_->SetSettings(settings);
}

bool DemoMeter::PortOpen() const { return Current().PortOpen(); }

void DemoMeter::SetInputLen(int length) {
  meter_.SetInputLen(length);
  if (others_ != nullptr) others_->SetInputLen(length);
}

}  // namespace slm
