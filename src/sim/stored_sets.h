#pragma once

// The meter's data-logger memory as the model keeps it: the stored sets, their
// replies to "N" and "O", the meter's calendar and the text form of sets that
// `slmtool emulate --sets FILE` reads.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/meter_model.h"

namespace slm::sim {

// The meter's five-character level text: "065.3".
std::string LevelText(double db);
// The six-character range of a range code ("80-140", "30-90 ").
std::string RangeText(int code);
std::string FrequencyText(int code);
std::string TimeWeightingText(int code);
std::optional<double> ParseLevel(const std::string& text);

// What a set occupies in the meter's memory: 341 bytes and 38 per record.
int StoredSize(const StoredSet& set);
// The reply to "O": 363 header bytes with the set's results, then 38 bytes
// per record.
Bytes SetReply(const StoredSet& set);
// The reply to "N": memory size and space left, then a 10-byte entry per set.
Bytes DirectoryReply(const std::vector<StoredSet>& sets, uint32_t memory_size);

// Reads the stored-sets text; throws std::runtime_error("line N: ...").
std::vector<StoredSet> ParseStoredSets(const std::string& text);

}  // namespace slm::sim
