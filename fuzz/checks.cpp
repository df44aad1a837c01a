#include "fuzz/checks.h"

#include <optional>
#include <sstream>
#include <stdexcept>

#include "base/number_text.h"
#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "link/meter.h"
#include "live/reading.h"
#include "sim/meter_model.h"

namespace slm::fuzz {
namespace {

DataFile Read(std::string_view text) {
  std::istringstream in{std::string(text)};
  return OpenDataFile(in, "fuzz");
}

std::string Compare(const RecordList& first, const RecordList& again, const char* form) {
  ListHeader expected = first.header();
  // An older memory set is written in the current form.
  if (expected.kind == ListKind::kDataLogger) expected.kind = ListKind::kDataLogger2;
  // Header values are quoted only where RFC 4180 asks, so blanks in front of
  // an unquoted one are dropped as the reader drops them before any header
  // value; a quoted one keeps them.
  for (std::string* value :
       {&expected.second_value, &expected.frequency_weighting, &expected.time_weighting,
        &expected.range, &expected.l05, &expected.l10, &expected.l50, &expected.l90, &expected.l95,
        &expected.max_level, &expected.max_time, &expected.sel, &expected.leq, &expected.note}) {
    if (value->find_first_of("\"\r\n") != std::string::npos) continue;
    value->erase(0, value->find_first_not_of(' ') == std::string::npos
                        ? value->size()
                        : value->find_first_not_of(' '));
  }
  if (!(again.header() == expected)) return std::string(form) + ": the header changed";
  if (again.size() != first.size()) return std::string(form) + ": the record count changed";
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (!(again.record(i) == first.record(i))) {
      return std::string(form) + ": record " + PlainNumberText(static_cast<double>(i)) + " changed";
    }
  }
  return {};
}

}  // namespace

std::string CheckDataFile(std::string_view input) {
  DataFile first;
  try {
    first = Read(input);
  } catch (const DataFileError&) {
    return {};  // refused by name: no list to write
  }
  for (const Separator separator : {Separator::kTab, Separator::kComma}) {
    const char* form = separator == Separator::kTab ? "data file" : "CSV file";
    const std::string written = FormatListFile(first.list, separator);
    DataFile again;
    try {
      again = Read(written);
    } catch (const DataFileError& e) {
      return std::string(form) + ": " + e.what();
    }
    if (std::string error = Compare(first.list, again.list, form); !error.empty()) return error;
    if (again.skipped_lines != 0) return std::string(form) + ": lines were skipped";
  }
  return {};
}

std::string CheckLiveFrame(std::string_view input) {
  const Bytes bytes(input);
  if (!TailIsFrame(bytes)) return {};
  if (bytes.size() < static_cast<std::size_t>(kFrameLength)) return "a frame shorter than a frame";
  // Byte k of the frame, counted from 1 as the meter's documents count them.
  const auto byte = [&](int k) {
    return static_cast<unsigned char>(bytes[bytes.size() - kFrameLength + k - 1]);
  };
  Reading reading;
  DecodeFrame(reading, byte(2), byte(3), byte(4), byte(5));
  const int word = byte(4) << 8 | byte(5);
  const bool marked = (word & 0x8000) != 0;
  if (reading.level_text.empty()) return "no level text";
  if ((reading.level_text.back() == '*') != marked) return "the marker is wrong";
  std::string_view digits = reading.level_text;
  if (marked) digits.remove_suffix(1);
  const std::optional<double> value = ParseNumber(digits);
  if (!value) return "the level text is no number: " + reading.level_text;
  if (*value != reading.level) return "the level text is not the level";
  if (reading.range_top != 0 && reading.range_bottom != reading.range_top - 60) {
    return "the range is not 60 dB wide";
  }
  return {};
}

std::string CheckStoredSets(std::string_view input) {
  try {
    sim::MeterModel::ParseSets(std::string(input));
  } catch (const std::runtime_error&) {
  }
  return {};
}

}  // namespace slm::fuzz
