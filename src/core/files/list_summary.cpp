#include "files/list_summary.h"

namespace slm {
namespace {

std::string LabelLine(const ResultLabel& label) {
  return label.value.empty() ? label.caption + ":" : label.caption + ": " + label.value;
}

}  // namespace

ListWindow WindowOfKind(ListKind kind) {
  switch (kind) {
    case ListKind::kDataLogger2:
    case ListKind::kDataLogger:
      return ListWindow::kFileList;
    case ListKind::kRealTime:
    case ListKind::kPlain:
      break;
  }
  return ListWindow::kFileListReal;
}

std::string_view KindName(ListKind kind) {
  switch (kind) {
    case ListKind::kRealTime:
      return "Real Time";
    case ListKind::kDataLogger2:
      return "Data Logger 2";
    case ListKind::kDataLogger:
      return "Data Logger";
    case ListKind::kPlain:
      break;
  }
  return "plain list";
}

std::string_view WindowName(ListWindow window) {
  return window == ListWindow::kFileList ? "FileList" : "FileListReal";
}

std::vector<ResultLabel> ResultLabels(const ListHeader& h) {
  if (h.kind == ListKind::kPlain) return {};
  std::vector<ResultLabel> labels = {
      {"Freq Weight", h.frequency_weighting},
      {"Time Weight", h.time_weighting},
      {"Level Range", h.range},
      {"Max dB", h.max_level},
      {"Max Time", h.max_time},
  };
  if (WindowOfKind(h.kind) == ListWindow::kFileList) {
    labels.insert(
        labels.end(),
        {{"L 05", h.l05}, {"L 10", h.l10}, {"L 50", h.l50}, {"L 90", h.l90}, {"L 95", h.l95}});
  }
  labels.push_back({"Leq", h.leq});
  labels.push_back({"SEL", h.sel});
  return labels;
}

std::optional<ResultLabel> SecondValueLabel(const ListHeader& h) {
  switch (h.kind) {
    case ListKind::kRealTime:
      return ResultLabel{"Sampling period",
                         h.second_value.empty() ? std::string() : h.second_value + " s"};
    case ListKind::kDataLogger2:
    case ListKind::kDataLogger:
      return ResultLabel{"Set", h.second_value};
    case ListKind::kPlain:
      break;
  }
  return std::nullopt;
}

std::vector<std::string> DataFileSummary(const DataFile& file) {
  std::vector<std::string> lines;
  const ListHeader& h = file.list.header();
  if (file.lines == 0) {
    // Without a first line there is no kind, and no window is opened.
    lines.push_back("Kind: none (the file is empty)");
    lines.push_back("Window: none");
  } else {
    lines.push_back("Kind: " + std::string(KindName(h.kind)));
    lines.push_back("Window: " + std::string(WindowName(WindowOfKind(h.kind))));
    if (const auto second = SecondValueLabel(h)) lines.push_back(LabelLine(*second));
    for (const ResultLabel& label : ResultLabels(h)) lines.push_back(LabelLine(label));
  }
  lines.push_back("Records: " + std::to_string(file.list.size()));
  return lines;
}

std::vector<std::string> PartialReadNotes(const DataFile& file) {
  std::vector<std::string> notes;
  if (file.damaged_bytes > 0) {
    notes.push_back("The end of the file was damaged: " + std::to_string(file.damaged_bytes) +
                    " zero bytes, as a power cut leaves them, were left out; the records before "
                    "them were read.");
  }
  if (file.skipped_lines > 0) {
    const std::size_t unsplit = file.skipped_lines - (file.last_line_cut ? 1 : 0);
    std::string note = file.skipped_lines == 1
                           ? "1 line was skipped"
                           : std::to_string(file.skipped_lines) + " lines were skipped";
    if (!file.last_line_cut) {
      note += " (not three fields)";
    } else if (unsplit == 0) {
      note += ": the last one, cut off before its end";
    } else {
      note += ": " + std::to_string(unsplit) +
              " not three fields, and the last one, cut off before its end";
    }
    notes.push_back(note + ".");
  }
  if (file.truncated) {
    notes.push_back("Only the first " + std::to_string(kMaxRecords) +
                    " records were read: a list holds no more.");
  }
  return notes;
}

}  // namespace slm
