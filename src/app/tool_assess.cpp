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
#include "assessment/survey_output.h"
#include "files/data_file_reader.h"
#include "files/exclusions_file.h"
#include "files/file_io.h"
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
                            given("--rolling"),      options.All("--exclude")};
  std::string problem;
  std::optional<AssessmentSettings> settings = ParseSettings(texts, problem);
  if (!settings) throw std::runtime_error(problem);
  return std::move(*settings);
}

// Reads every file and its side file of exclusions into `files` and
// `settings`; says why on stderr and returns false when one cannot be read.
bool ReadAll(const std::vector<std::string>& paths, bool side_files, std::vector<DataFile>& files,
             AssessmentSettings& settings) {
  // A stretch across two files is kept in the side file of each: it counts once.
  std::vector<std::vector<Exclusion>> kept_by_file = {settings.exclusions};
  try {
    for (const std::string& path : paths) {
      files.emplace_back();
      if (!ReadListFile("assess", path, files.back())) return false;
      const DataFile& file = files.back();
      if (file.truncated) {
        std::fprintf(stderr,
                     "slmtool assess: \"%s\" holds more than %zu records; only those could be "
                     "read: split the file to assess all of it\n",
                     path.c_str(), kMaxRecords);
        return false;
      }
      if (!side_files) continue;
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

// The survey's description: --survey FILE's, else that of the first FILE's
// side file when it has one. Says why on stderr and returns false when it
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

}  // namespace

int RunAssess(const std::vector<std::string>& args) {
  const Options options(
      args,
      {"--interval", "--periods", "--percentiles", "--threshold", "--min-duration", "--hold",
       "--rolling", "--exclude", "--output", "--table", "--survey"},
      {"--json", "--csv", "--no-exclusions", "--no-survey", "--all-events"});
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
    throw std::runtime_error("--table takes intervals, days, events, exclusions or totals, not \"" +
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
  ToolDrawing* drawing = pdf ? LoadDrawing("assess") : nullptr;
  if (pdf && drawing == nullptr) return 1;

  std::vector<DataFile> files;
  if (!ReadAll(paths, !options.Has("--no-exclusions"), files, settings)) return 1;
  SurveyDescription survey;
  if (!ReadSurveyOf(options, paths[0], survey)) return 1;
  std::vector<NamedList> lists;
  for (std::size_t i = 0; i < files.size(); ++i) lists.push_back({&files[i].list, paths[i]});
  MeasuredLevels levels;
  try {
    levels = MergeLevels(lists);
  } catch (const AssessmentError& e) {
    std::fprintf(stderr, "slmtool assess: %s\n", e.what());
    return 1;
  }
  if (levels.out_of_order > 0) {
    std::fprintf(stderr,
                 "slmtool assess: %zu records are earlier than the record before them (a clock "
                 "set back); they are taken in time order\n",
                 levels.out_of_order);
  }

  const Assessment assessment = Assess(levels, settings);
  if (assessment.total.count == 0) {
    std::fprintf(stderr,
                 "slmtool assess: no level to count: every record is paused or excluded (%lld "
                 "paused, %lld excluded)\n",
                 static_cast<long long>(assessment.paused),
                 static_cast<long long>(assessment.excluded));
    return 1;
  }
  if (pdf) {
    AssessReportJob job{
        outputs[0], {}, &levels, &settings, &assessment, survey, options.Has("--all-events")};
    for (std::size_t i = 0; i < files.size(); ++i) {
      job.files.push_back({paths[i], files[i].list.header(), files[i].list.size()});
    }
    return drawing->AssessReport(job);
  }
  const AssessmentTables tables = BuildTables(assessment, settings);
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
