// Erasing sets from the meter's memory, and checking that they are gone.
#include <vector>

#include "base/number_text.h"
#include "logger/logger_exchange.h"
#include "logger/meter_logger.h"

namespace slm {

using logger_exchange::AddressCommand;
using logger_exchange::Directory;
using logger_exchange::kCommandPause;
using logger_exchange::Write;

namespace {

void EraseOne(MeterLink& link, std::uint16_t set_number) {
  Write(link, AddressCommand('P', set_number));
  link.rs232().Wait(kCommandPause);
}

void EraseEvery(MeterLink& link) {
  Write(link, "H");
  link.rs232().Wait(kCommandPause);
}

// The entries of `sets` but the one at `position` (none for 0).
std::vector<MemorySet> WithoutPosition(const std::vector<MemorySet>& sets, int position) {
  std::vector<MemorySet> left;
  if (position == 0) return left;
  for (const MemorySet& set : sets) {
    if (set.position == position) continue;
    left.push_back(set);
    left.back().position = static_cast<int>(left.size());
  }
  return left;
}

std::string SetDescription(const MemorySet& set) {
  return "set " + WholeNumberText(set.number) + " (position " + WholeNumberText(set.position) +
         ", started " + set.start + ", " + WholeNumberText(set.records) + " records)";
}

std::string AllSetsText(std::size_t count) {
  return count == 1 ? "the 1 set"
                    : "all " + WholeNumberText(static_cast<long long>(count)) + " sets";
}

}  // namespace

void EraseSet(MeterLink& link, std::uint16_t set_number) {
  MeterLink::SoleExchange sole(link);
  EraseOne(link, set_number);
}

void EraseAll(MeterLink& link) {
  MeterLink::SoleExchange sole(link);
  EraseEvery(link);
}

std::string EraseQuestion(const MemoryDirectory& directory, int position) {
  if (position == 0) {
    return "Erase " + AllSetsText(directory.sets.size()) + " in the meter's memory?\n" +
           (directory.sets.size() == 1 ? "Its" : "Their") + " records will be gone from the meter.";
  }
  for (const MemorySet& set : directory.sets) {
    if (set.position != position) continue;
    return "Erase " + SetDescription(set) + "?\nIts records will be gone from the meter.";
  }
  return {};
}

EraseResult EraseAndConfirm(MeterLink& link, const MemoryDirectory& before, int position) {
  MeterLink::SoleExchange sole(link);
  const MemorySet* chosen = nullptr;
  for (const MemorySet& set : before.sets) {
    if (set.position == position) chosen = &set;
  }
  if (position != 0 && chosen == nullptr) {
    return {false, "There is no set at position " + WholeNumberText(position) + "."};
  }
  const std::string what =
      chosen != nullptr ? SetDescription(*chosen) : AllSetsText(before.sets.size());
  if (chosen != nullptr) {
    EraseOne(link, chosen->number);
  } else {
    EraseEvery(link);
  }
  // Neither command gets a reply: the directory read afterwards tells.
  MemoryDirectory after;
  try {
    after = Directory(link);
  } catch (const LinkError& e) {
    return {false, "Erasing " + what + " could not be confirmed: " + e.what()};
  }
  if (!after.valid()) {
    return {false, "Erasing " + what + " could not be confirmed. " + after.problem};
  }
  if (after.sets == WithoutPosition(before.sets, position)) return {true, "Erased " + what + "."};
  if (chosen != nullptr) {
    for (const MemorySet& set : after.sets) {
      if (set.number == chosen->number && set.start == chosen->start) {
        return {false, "Set " + WholeNumberText(chosen->number) +
                           " was not erased: the meter still lists it."};
      }
    }
  } else if (!after.sets.empty()) {
    return {false, "The sets were not erased: the meter still lists " +
                       WholeNumberText(static_cast<long long>(after.sets.size())) + " of " +
                       WholeNumberText(static_cast<long long>(before.sets.size())) + "."};
  }
  return {false, "Erasing " + what +
                     " could not be confirmed: the meter's memory lists other sets than it did "
                     "before without it."};
}

}  // namespace slm
