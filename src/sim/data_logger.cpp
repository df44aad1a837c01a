#include "sim/data_logger.h"

#include <algorithm>
#include <cmath>

#include "base/calendar.h"
#include "link/meter.h"
#include "sim/stored_sets.h"

namespace slm::sim {

DataLogger::DataLogger() : clock_anchor(LinearSeconds(MeterTime{2024, 1, 1, 0, 0, 0})) {}

MeterTime DataLogger::ClockAt(double t) const {
  return DateTimeOfSeconds(clock_anchor +
                           static_cast<int64_t>(std::floor(t - clock_anchor_t + 1e-9)));
}

void DataLogger::SetClock(const MeterTime& time, double t) {
  clock_anchor = LinearSeconds(time);
  clock_anchor_t = t;
}

StoredSet* DataLogger::LoggingSet() {
  if (!logging) return nullptr;
  for (StoredSet& set : sets) {
    if (set.number == logging_number) return &set;
  }
  logging = false;  // erased meanwhile
  return nullptr;
}

void DataLogger::TakeRecord(const MeterState& state, double level) {
  StoredSet* set = LoggingSet();
  if (set == nullptr) return;
  if (state.stop) {
    logging = false;
    return;
  }
  set->records.push_back({LevelText(level), state.pause});
}

void DataLogger::Start(double t, const MeterState& state, double level) {
  StoredSet set;
  int highest = 0;
  for (const StoredSet& s : sets) highest = std::max(highest, s.number);
  set.number = highest + 1;
  set.start = ClockAt(t);
  set.interval = sampling_time;
  set.frequency_weighting = FrequencyText(state.frequency_code);
  set.time_weighting = TimeWeightingText(state.time_code);
  set.range = RangeText(state.range_code);
  sets.push_back(set);
  logging = true;
  logging_number = set.number;
  logging_interval = sampling_time;
  TakeRecord(state, level);
  next_record = t + logging_interval;
}

void DataLogger::Erase(int number) {
  std::erase_if(sets, [&](const StoredSet& s) { return s.number == number; });
}

void DataLogger::EraseAll() {
  sets.clear();
  logging = false;
}

void DataLogger::SetClockFromCommand(const Bytes& command, double t) {
  const auto bcd = [&command](std::size_t i) { return FromBcd(static_cast<uint8_t>(command[i])); };
  const MeterTime m{2000 + bcd(6), bcd(5), bcd(4), bcd(3), bcd(2), bcd(1)};
  if (IsValidDateTime(m)) SetClock(m, t);
}

Bytes DataLogger::ClockReply(double t) const {
  const MeterTime m = ClockAt(t);
  return MakeBytes({ToBcd(m.second), ToBcd(m.minute), ToBcd(m.hour), ToBcd(m.day), ToBcd(m.month),
                    ToBcd(m.year % 100)});
}

}  // namespace slm::sim
