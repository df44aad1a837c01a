#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/data_file_reader.h"
#include "files/record.h"

namespace slm {

// The window a data file opens in.
enum class ListWindow {
  kFileListReal,  // real-time lists and plain lists
  kFileList,      // memory sets, both forms
};

ListWindow WindowOfKind(ListKind kind);

// "Real Time", "Data Logger 2", "Data Logger" (the text the first line
// contains) or "plain list".
std::string_view KindName(ListKind kind);

// "FileListReal" or "FileList".
std::string_view WindowName(ListWindow window);

// One result label of a list window: the caption of its title panel and the
// value it shows.
struct ResultLabel {
  std::string caption;
  std::string value;

  friend bool operator==(const ResultLabel&, const ResultLabel&) = default;
};

// The result labels the list's window fills from the header, in the order the
// window shows them: "Freq Weight", "Time Weight", "Level Range", "Max dB",
// "Max Time", then "L 05" .. "L 95" for memory sets only, "Leq", "SEL". A
// plain list has no header and so gives none.
std::vector<ResultLabel> ResultLabels(const ListHeader& header);

// The second header value with its caption: "Sampling period" (seconds) for a
// real-time list, "Set" for a memory set; nothing for a plain list. No window
// shows it.
std::optional<ResultLabel> SecondValueLabel(const ListHeader& header);

// The lines `slmtool info` prints for a file as read, without line ends:
//   Kind: Real Time
//   Window: FileListReal
//   Sampling period: 10 s
//   Freq Weight: A
//   ...
//   Records: 4
// A file with no line at all opens no window. What was not read is said by
// PartialReadNotes.
std::vector<std::string> DataFileSummary(const DataFile& file);

// What every command and window says when it read only part of a file (or
// a set that did not arrive whole), one sentence each, nothing when all of
// it was read:
//   "This set did not arrive whole when it was downloaded: 474 of 1000
//    records arrived."
//   "The file is damaged inside: 4096 zero bytes at line 45 took 17 lines
//    between record 40 (2024/05/01 10:00:39) and record 58 (...). The
//    records around the damage were read."
//   "The end of the file was damaged: 4096 zero bytes, as a power cut leaves
//    them, were left out; the records before them were read."
//   "3 lines were skipped: 1 not three fields, 1 with no level as the meter
//    writes it (line 12: "7e1"), and the last one, cut off before its end."
//   "Only the first 348000 records were read: a list holds no more."
std::vector<std::string> PartialReadNotes(const DataFile& file);

}  // namespace slm
