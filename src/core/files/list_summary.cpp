#include "files/list_summary.h"

namespace slm {
namespace {

std::string LabelLine(const ResultLabel& label) {
  return label.value.empty() ? label.caption + ":" : label.caption + ": " + label.value;
}

}  // namespace

ListWindow WindowOfKind(ListKind kind) {
  return IsMemorySet(kind) ? ListWindow::kFileList : ListWindow::kFileListReal;
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
  lines.push_back("Records: " + std::to_string(file.records));
  return lines;
}

namespace {

std::string LinesText(std::size_t n) { return n == 1 ? "1 line" : std::to_string(n) + " lines"; }

// "4096 zero bytes at line 45 took 17 lines between record 40 (...) and record 58 (...)".
std::string DamageText(const DamagedStretch& d) {
  std::string text = std::to_string(d.bytes) + " zero bytes at line " + std::to_string(d.line) +
                     " took " + LinesText(d.lines_lost);
  if (!d.before.empty() && !d.after.empty()) {
    text += " between record " + d.before + " and record " + d.after;
  } else if (!d.before.empty()) {
    text += " after record " + d.before;
  } else if (!d.after.empty()) {
    text += " before record " + d.after;
  }
  return text;
}

std::string SkippedNote(const DataFile& file) {
  const std::size_t cut = file.last_line_cut ? 1 : 0;
  const std::size_t unsplit = file.skipped_lines - cut - file.bad_levels;
  const std::string bad_level = "no level as the meter writes it";
  const std::string where = std::string(file.bad_levels > 1 ? "the first on" : "on") + " line " +
                            std::to_string(file.first_bad_level_line) + ": " + file.first_bad_level;
  std::vector<std::string> why;
  if (unsplit > 0) why.push_back(std::to_string(unsplit) + " not three fields");
  if (file.bad_levels > 0) {
    why.push_back(std::to_string(file.bad_levels) + " with " + bad_level + " (" + where + ")");
  }
  if (cut > 0) why.push_back("the last one, cut off before its end");
  std::string note =
      LinesText(file.skipped_lines) + (file.skipped_lines == 1 ? " was skipped" : " were skipped");
  if (why.size() == 1 && cut == 0) {
    return note + " (" + (unsplit > 0 ? "not three fields" : bad_level + "; " + where) + ").";
  }
  for (std::size_t i = 0; i < why.size(); ++i) {
    note += (i == 0 ? ": " : i + 1 == why.size() ? ", and " : ", ") + why[i];
  }
  return note + ".";
}

}  // namespace

std::vector<std::string> PartialReadNotes(const DataFile& file) {
  std::vector<std::string> notes;
  const std::string& note = file.list.header().note;
  if (file.list.IsMemorySet() && note.rfind("incomplete", 0) == 0) {
    const std::size_t colon = note.find(": ");
    notes.push_back("This set did not arrive whole when it was downloaded" +
                    (colon == std::string::npos ? std::string(".")
                                                : ": " + note.substr(colon + 2) + " arrived."));
  }
  if (!file.damage.empty()) {
    // A card with many damaged blocks: the first few say where.
    constexpr std::size_t kShown = 3;
    std::string text = "The file is damaged inside: ";
    for (std::size_t i = 0; i < file.damage.size() && i < kShown; ++i) {
      text += (i == 0 ? "" : "; ") + DamageText(file.damage[i]);
    }
    if (file.damage.size() > kShown) {
      const std::size_t more = file.damage.size() - kShown;
      text +=
          "; and " + std::to_string(more) + (more == 1 ? " more such place" : " more such places");
    }
    notes.push_back(text + ". The records around the damage were read.");
  }
  if (file.damaged_bytes > 0) {
    notes.push_back("The end of the file was damaged: " + std::to_string(file.damaged_bytes) +
                    " zero bytes, as a power cut leaves them, were left out; the records before "
                    "them were read.");
  }
  if (file.skipped_lines > 0) notes.push_back(SkippedNote(file));
  if (file.truncated) {
    notes.push_back("Only the first " + std::to_string(kMaxRecords) +
                    " records were read: a list holds no more.");
  }
  return notes;
}

}  // namespace slm
