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
  if (file.skipped_lines > 0) {
    lines.push_back("Skipped lines: " + std::to_string(file.skipped_lines) + " (not three fields)");
  }
  if (file.truncated) {
    lines.push_back("Truncated: a list holds at most " + std::to_string(kMaxRecords) +
                    " records; the rest were not read");
  }
  return lines;
}

}  // namespace slm
