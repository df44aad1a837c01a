// Erasing sets from the meter's memory, and checking that they are gone.
#include <algorithm>
#include <optional>
#include <vector>

#include "base/calendar.h"
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

namespace {

const MemorySet* SetAtPosition(const MemoryDirectory& directory, int position) {
  for (const MemorySet& set : directory.sets) {
    if (set.position == position) return &set;
  }
  return nullptr;
}

// A set keeps its number and start from one directory read to the next; its
// position moves up when a set before it goes.
bool SameSet(const MemorySet& a, const MemorySet& b) {
  return a.number == b.number && a.start == b.start;
}

// EraseAndConfirm inside an exchange already under way.
EraseResult EraseConfirmedIn(MeterLink& link, const MemoryDirectory& before, int position) {
  const MemorySet* chosen = SetAtPosition(before, position);
  if (position != 0 && chosen == nullptr) {
    return {false, false, "There is no set at position " + WholeNumberText(position) + "."};
  }
  const std::string what =
      chosen != nullptr ? SetDescription(*chosen) : AllSetsText(before.sets.size());
  if (chosen != nullptr) {
    EraseOne(link, chosen->number);
  } else {
    EraseEvery(link);
  }
  // Neither command gets a reply: the directory read afterwards tells. What
  // it cannot tell may be gone, and the sets after it moved up.
  auto unknown = [&](const std::string& why) {
    return EraseResult{
        false, true,
        "Erasing " + what + " could not be confirmed: " + why +
            (chosen != nullptr ? "\nIt may be gone, and the sets after it moved up a position."
                               : "")};
  };
  MemoryDirectory after;
  try {
    after = Directory(link);
  } catch (const LinkError& e) {
    return unknown(e.what());
  }
  if (!after.valid()) return unknown(after.problem);
  if (after.sets == WithoutPosition(before.sets, position)) {
    return {true, false, "Erased " + what + "."};
  }
  if (chosen != nullptr) {
    for (const MemorySet& set : after.sets) {
      if (SameSet(set, *chosen)) {
        return {false, false,
                "Set " + WholeNumberText(chosen->number) +
                    " was not erased: the meter still lists it."};
      }
    }
  } else if (!after.sets.empty()) {
    return {false, false,
            "The sets were not erased: the meter still lists " +
                WholeNumberText(static_cast<long long>(after.sets.size())) + " of " +
                WholeNumberText(static_cast<long long>(before.sets.size())) + "."};
  }
  return unknown("the meter's memory lists other sets than it did before without it.");
}

}  // namespace

EraseResult EraseAndConfirm(MeterLink& link, const MemoryDirectory& before, int position) {
  MeterLink::SoleExchange sole(link);
  return EraseConfirmedIn(link, before, position);
}

EraseResult EraseShownSet(MeterLink& link, const MemoryDirectory& shown, int position) {
  MeterLink::SoleExchange sole(link);
  const char* const kNothing = "Nothing was erased.";
  MemoryDirectory now;
  try {
    now = Directory(link);
  } catch (const LinkError& e) {
    return {false, false, std::string(e.what()) + "\n" + kNothing};
  }
  if (!now.valid()) return {false, false, now.problem + "\n" + kNothing};
  if (position == 0) {
    const bool same =
        std::equal(now.sets.begin(), now.sets.end(), shown.sets.begin(), shown.sets.end(), SameSet);
    if (same) return EraseConfirmedIn(link, now, 0);
    return {false, false,
            "The meter's memory lists other sets than when you chose: nothing was erased."};
  }
  const MemorySet* chosen = SetAtPosition(shown, position);
  if (chosen == nullptr) {
    return {false, false, "There is no set at position " + WholeNumberText(position) + "."};
  }
  for (const MemorySet& set : now.sets) {
    if (SameSet(set, *chosen)) return EraseConfirmedIn(link, now, set.position);
  }
  return {false, false,
          "Set " + WholeNumberText(chosen->number) + " (started " + chosen->start +
              ") is no longer in the meter's memory: nothing was erased."};
}

std::optional<std::int64_t> SetStartTime(const std::string& text) {
  std::string single;
  for (const char c : text) {
    if (c == ' ' && !single.empty() && single.back() == ' ') continue;
    single += c;
  }
  return ParseClockText(single);
}

std::string OtherSetAtPosition(const MemoryDirectory& directory, int position, std::int64_t start) {
  const MemorySet* at = SetAtPosition(directory, position);
  if (at != nullptr && SetStartTime(at->start) == start) return {};
  std::string text = at != nullptr
                         ? "The set at position " + WholeNumberText(position) + " is set " +
                               WholeNumberText(at->number) + ", started " + at->start
                         : "There is no set at position " + WholeNumberText(position);
  text += ", not the set that started " + ClockText(start) + ": nothing was erased.";
  for (const MemorySet& set : directory.sets) {
    if (SetStartTime(set.start) == start) {
      return text + " That set is at position " + WholeNumberText(set.position) + " now.";
    }
  }
  return text + " No set in the meter's memory started then: it may be gone already.";
}

}  // namespace slm
