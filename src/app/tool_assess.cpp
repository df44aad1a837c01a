// `slmtool assess`: the assessment of a long measurement from its data files:
// totals, intervals, day/evening/night and Lden, exceedance events and the
// worst rolling Leq. It needs nothing but the core.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/tool_draw.h"
#include "assessment/assessment.h"
#include "assessment/assessment_document.h"
#include "assessment/assessment_output.h"
#include "assessment/assessment_settings.h"
#include "assessment/assessment_stream.h"
#include "assessment/calibration_check.h"
#include "assessment/survey_output.h"
#include "base/number_text.h"
#include "base/text_excerpt.h"
#include "files/data_file_reader.h"
#include "files/exclusions_file.h"
#include "files/file_io.h"
#include "files/list_summary.h"
#include "files/survey_file.h"

namespace slm::tool {

namespace {

AssessmentSettings SettingsOf(const Options& options) {
  auto given = [&options](const char* name) -> std::optional<std::string> {
    return options.Has(name) ? std::optional<std::string>(options.Get(name)) : std::nullopt;
  };
  if (!options.Has("--threshold") && (options.Has("--min-duration") || options.Has("--hold"))) {
    throw std::runtime_error("--min-duration and --hold go with --threshold");
  }
  const SettingsTexts texts{given("--interval"),     given("--periods"),
                            given("--percentiles"),  options.Get("--threshold"),
                            given("--min-duration"), given("--hold"),
                            given("--rolling"),      options.All("--exclude"),
                            given("--min-coverage"), given("--rolling-coverage")};
  std::string problem;
  std::optional<AssessmentSettings> settings = ParseSettings(texts, problem);
  if (!settings) throw std::runtime_error(problem);
  return std::move(*settings);
}

// The side files of exclusions of `paths` with those given, each once;
// says why on stderr and returns false when one cannot be read.
bool ReadSideFiles(const std::vector<std::string>& paths, AssessmentSettings& settings) {
  // A stretch across two files is kept in the side file of each: it counts once.
  std::vector<std::vector<Exclusion>> kept_by_file = {settings.exclusions};
  try {
    for (const std::string& path : paths) {
      const std::string side = ExclusionsPathFor(path);
      const std::vector<Exclusion> kept = ReadExclusions(side);
      if (!kept.empty()) {
        std::fprintf(stderr, "slmtool assess: leaving out the %zu %s listed in \"%s\"\n",
                     kept.size(), kept.size() == 1 ? "stretch" : "stretches", side.c_str());
      }
      kept_by_file.push_back(kept);
    }
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return false;
  }
  settings.exclusions = GatherExclusions(kept_by_file);
  return true;
}

// The survey's description: --survey FILE's, else that of the side file of
// the earliest FILE (`first`) when it has one. Says why on stderr and returns false when it
// cannot be read.
bool ReadSurveyOf(const Options& options, const std::string& first, SurveyDescription& survey) {
  if (options.Has("--no-survey")) return true;
  const bool named = options.Has("--survey");
  const std::string path = named ? options.Get("--survey") : SurveyPathFor(first);
  std::error_code ec;
  if (named && !std::filesystem::exists(path, ec)) {
    std::fprintf(stderr, "slmtool assess: %s cannot be read: there is no such file.\n",
                 AbsolutePath(path).c_str());
    return false;
  }
  try {
    survey = ReadSurvey(path);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return false;
  }
  if (!named && !survey.empty()) {
    std::fprintf(stderr, "slmtool assess: the survey's description is read from \"%s\"\n",
                 path.c_str());
  }
  return true;
}

// A file of more records than a list holds cannot be assessed whole.
bool Whole(const std::string& path, const DataFile& file) {
  if (!file.truncated) return true;
  std::fprintf(stderr,
               "slmtool assess: \"%s\" holds more than %zu records; only those could be "
               "read: split the file to assess all of it\n",
               path.c_str(), kMaxRecords);
  return false;
}

void SayPartlyRead(const std::string& path, const DataFile& file) {
  for (const std::string& note : PartialReadNotes(file)) {
    std::fprintf(stderr, "slmtool assess: %s: %s\n", AbsolutePath(path).c_str(), note.c_str());
  }
}

void SaySetBack(const std::vector<ClockSetBack>& set_back) {
  for (const ClockSetBack& back : set_back) {
    std::fprintf(stderr,
                 "slmtool assess: \"%s\": %zu record%s earlier than the record before %s (a "
                 "clock set back); all are taken in time order\n",
                 back.name.c_str(), back.records, back.records == 1 ? " is" : "s are",
                 back.records == 1 ? "it" : "them");
  }
}

// The files in time order, their meters' settings agreeing unless allowed;
// nothing, said on stderr, when one cannot be read or they cannot go together.
std::optional<std::vector<ListFileStart>> FilesInOrder(const std::vector<std::string>& paths,
                                                       MixedWeightings mixed) {
  std::vector<ListFileStart> starts;
  try {
    for (const std::string& path : paths) starts.push_back(PeekListFile(path));
    return InTimeOrder(std::move(starts), mixed);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
  } catch (const AssessmentError& e) {
    std::fprintf(stderr, "slmtool assess: %s%s\n", e.what(),
                 mixed == MixedWeightings::kRefuse &&
                         std::string(e.what()).find("measured") != std::string::npos
                     ? "; --allow-mixed assesses them together"
                     : "");
  }
  return std::nullopt;
}

// The assessment of the files one at a time, in little memory.
std::optional<Assessment> AssessStreaming(const std::vector<ListFileStart>& files,
                                          const AssessmentSettings& settings,
                                          AssessedLists& lists) {
  std::vector<std::string> paths;
  for (const ListFileStart& f : files) paths.push_back(f.path);
  Assessor assessor(settings);
  bool whole = true;
  try {
    StreamLists(paths, [&](StreamedList& list) {
      const std::string& path = paths[list.index];
      SayPartlyRead(path, list.file);
      if (!Whole(path, list.file)) {
        whole = false;
        throw AssessmentError("");
      }
      if (list.set_back > 0) lists.set_back.push_back({path, list.set_back});
      for (const LevelSample& sample : list.samples) assessor.Add(sample);
    });
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return std::nullopt;
  } catch (const AssessmentError& e) {
    if (whole) std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return std::nullopt;
  }
  return assessor.Finish();
}

// The calibration settings the options give.
CalibrationSettings CalibrationOf(const Options& options) {
  CalibrationSettings c;
  if (options.Has("--calibrator")) {
    c.nominal.clear();
    const std::string levels = options.Get("--calibrator");
    for (std::size_t at = 0; at <= levels.size();) {
      const std::size_t comma = std::min(levels.find(',', at), levels.size());
      const std::optional<double> level = ParseNumber(Trimmed(levels.substr(at, comma - at)));
      at = comma + 1;
      if (!level) {
        throw std::runtime_error(
            "--calibrator takes the calibrator's levels in dB (94 or 94,114), "
            "not \"" +
            options.Get("--calibrator") + "\"");
      }
      c.nominal.push_back(*level);
    }
  }
  if (options.Has("--drift-limit")) {
    const std::optional<double> limit = ParseNumber(Trimmed(options.Get("--drift-limit")));
    if (!limit) throw std::runtime_error("--drift-limit takes dB");
    c.drift_limit = *limit;
  }
  const std::string problem = CalibrationProblem(c);
  if (!problem.empty()) throw std::runtime_error(problem);
  return c;
}

// The calibration check of the survey's first and last files (the tones are
// at its ends); nothing, said on stderr, when one cannot be read.
std::optional<CalibrationCheck> CheckCalibration(const std::vector<ListFileStart>& files,
                                                 const CalibrationSettings& settings) {
  std::vector<LevelSample> ends;
  std::vector<std::size_t> read = {0};
  if (files.size() > 1) read.push_back(files.size() - 1);
  try {
    for (const std::size_t k : read) {
      DataFile file = OpenDataFile(files[k].path);
      std::size_t back = 0;
      const std::vector<LevelSample> samples = ListLevels({&file.list, files[k].path}, back);
      ends.insert(ends.end(), samples.begin(), samples.end());
    }
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return std::nullopt;
  } catch (const AssessmentError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return std::nullopt;
  }
  return FindCalibration(ends, settings);
}

// The tones left out of every figure, as stretches with their reason.
void LeaveOutTones(const CalibrationCheck& check, AssessmentSettings& settings) {
  settings.exclusions = GatherExclusions({settings.exclusions, CalibrationExclusions(check)});
}

// Every file in memory at once, for the report's charts.
bool ReadAll(const std::vector<ListFileStart>& starts, std::vector<DataFile>& files,
             std::vector<std::string>& paths) {
  for (const ListFileStart& start : starts) {
    files.emplace_back();
    paths.push_back(start.path);
    if (!ReadListFile("assess", start.path, files.back())) return false;
    if (!Whole(start.path, files.back())) return false;
  }
  return true;
}

}  // namespace

int RunAssess(const std::vector<std::string>& args) {
  const Options options(
      args,
      {"--interval", "--periods", "--percentiles", "--threshold", "--min-duration", "--hold",
       "--rolling", "--rolling-coverage", "--min-coverage", "--exclude", "--output", "--table",
       "--calibrator", "--drift-limit", "--survey"},
      {"--json", "--csv", "--no-exclusions", "--allow-mixed", "--no-calibration", "--no-survey",
       "--all-events"});
  const std::string table_key = options.Get("--table", "intervals");
  const std::vector<std::string>& paths = options.positional();
  if (paths.empty()) throw std::runtime_error("assess takes one or more FILEs");
  if (options.Has("--json") && options.Has("--csv")) {
    throw std::runtime_error("--json and --csv: choose one");
  }
  const std::vector<std::string> outputs = options.All("--output");
  if (outputs.size() > 1 || (outputs.size() == 1 && outputs[0].empty())) {
    throw std::runtime_error("-o takes one FILE");
  }
  const bool pdf = !outputs.empty() && EndsWithNoCase(outputs[0], ".pdf");
  if (pdf && (options.Has("--json") || options.Has("--csv"))) {
    throw std::runtime_error("-o FILE.pdf writes the report; --json and --csv go elsewhere");
  }
  if (options.Has("--table") && !options.Has("--csv")) {
    throw std::runtime_error("--table chooses the table --csv writes");
  }
  if (std::find(kTableKeys.begin(), kTableKeys.end(), table_key) == kTableKeys.end()) {
    throw std::runtime_error(
        "--table takes intervals, days, months, years, events, exclusions or totals, not \"" +
        table_key + "\"");
  }
  if (options.Has("--survey") && options.Has("--no-survey")) {
    throw std::runtime_error("--survey and --no-survey: choose one");
  }
  if (options.Has("--all-events") && !pdf) {
    throw std::runtime_error(
        "--all-events goes with -o FILE.pdf: the other forms list every event");
  }
  std::vector<std::string> inputs = paths;
  if (options.Has("--survey")) inputs.push_back(options.Get("--survey"));
  if (!outputs.empty()) RefuseWritingOverInputs(outputs[0], inputs);
  AssessmentSettings settings = SettingsOf(options);
  const CalibrationSettings calibration = CalibrationOf(options);
  ToolDrawing* drawing = pdf ? LoadDrawing("assess") : nullptr;
  if (pdf && drawing == nullptr) return 1;

  const MixedWeightings mixed =
      options.Has("--allow-mixed") ? MixedWeightings::kAllow : MixedWeightings::kRefuse;
  const std::optional<std::vector<ListFileStart>> files = FilesInOrder(paths, mixed);
  if (!files) return 1;
  if (!options.Has("--no-exclusions") && !ReadSideFiles(paths, settings)) return 1;
  // Beside the earliest file, where the Assessment window keeps it.
  SurveyDescription survey;
  if (!ReadSurveyOf(options, files->front().path, survey)) return 1;
  AssessedLists lists;
  std::vector<ListHeader> headers;
  for (const ListFileStart& f : *files) headers.push_back(f.header);
  lists.names = DescriptorsOf(headers);
  lists.mixed = WeightingDifferences(*files);
  lists.calibration_settings = calibration;

  // The report draws every record: its files are read whole. The figures
  // alone take one file at a time.
  std::vector<DataFile> read;
  std::vector<std::string> read_paths;
  MeasuredLevels levels;
  std::optional<Assessment> assessment;
  if (pdf) {
    if (!ReadAll(*files, read, read_paths)) return 1;
    std::vector<NamedList> named;
    for (std::size_t i = 0; i < read.size(); ++i) named.push_back({&read[i].list, read_paths[i]});
    try {
      levels = MergeLevels(named, mixed);
    } catch (const AssessmentError& e) {
      std::fprintf(stderr, "slmtool assess: %s\n", e.what());
      return 1;
    }
    lists.set_back = levels.set_back;
    if (!options.Has("--no-calibration")) {
      lists.calibration = FindCalibration(levels.samples, calibration);
      LeaveOutTones(*lists.calibration, settings);
    }
    assessment = Assess(levels, settings);
  } else {
    if (!options.Has("--no-calibration")) {
      lists.calibration = CheckCalibration(*files, calibration);
      if (!lists.calibration) return 1;
      LeaveOutTones(*lists.calibration, settings);
    }
    assessment = AssessStreaming(*files, settings, lists);
    if (!assessment) return 1;
  }
  SaySetBack(lists.set_back);

  if (assessment->total.count == 0) {
    std::fprintf(stderr,
                 "slmtool assess: no level to count: every record is paused or excluded (%lld "
                 "paused, %lld excluded)\n",
                 static_cast<long long>(assessment->paused),
                 static_cast<long long>(assessment->excluded));
    return 1;
  }
  if (pdf) {
    AssessReportJob job{outputs[0], {}, &levels, &settings, &*assessment, &lists};
    job.survey = survey;
    job.all_events = options.Has("--all-events");
    for (std::size_t i = 0; i < read.size(); ++i) {
      job.files.push_back({read_paths[i], read[i].list.header(), read[i].list.size()});
    }
    return drawing->AssessReport(job);
  }
  const AssessmentTables tables = BuildTables(*assessment, settings, lists);
  const std::string out = options.Has("--json")  ? WithSurveyJson(AssessmentJson(tables), survey)
                          : options.Has("--csv") ? TableCsv(*tables.Find(table_key))
                                                 : SurveyText(survey) + AssessmentText(tables);
  if (outputs.empty()) {
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
  }
  try {
    WriteWholeFile(outputs[0], out);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace slm::tool
