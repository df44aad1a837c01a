#pragma once

// What slmtool's commands share without Qt: their options, file names and
// start-up. The commands declared here need nothing but the core and the
// meter model, so slmtool runs them without loading Qt at all; the meter's
// commands are in its Qt part (tool_qt_part.h) and drawing is a plugin
// (tool_draw.h).
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/list_report.h"
#include "assessment/assessment.h"
#include "assessment/assessment_tables.h"
#include "files/data_file_reader.h"
#include "files/survey_file.h"

namespace slm::tool {

// Command-line options of one subcommand: "--name value" pairs and flags.
class Options {
 public:
  // `flags` are the options that take no value. Throws std::runtime_error on
  // an unknown option or a missing value.
  Options(const std::vector<std::string>& args, const std::vector<std::string>& with_value,
          const std::vector<std::string>& flags);
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  std::string Get(const std::string& name, const std::string& fallback = {}) const;
  std::vector<std::string> All(const std::string& name) const;
  double Number(const std::string& name, double fallback) const;
  // A whole number from `low` to `high`; throws std::runtime_error saying so
  // when the value is anything else.
  long long Whole(const std::string& name, long long fallback, long long low, long long high) const;
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::multimap<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// True when `text` ends in `end`, letters in any case.
bool EndsWithNoCase(std::string_view text, std::string_view end);

// True when `path` ends in ".csv" in any case: such a file gets the comma form.
bool IsCsvPath(std::string_view path);

// A command never writes over a file it reads: throws std::runtime_error
// (a usage error) when `output` is one of `inputs`, or a side file of one
// (FILE.exclusions, its survey's), however either is named.
void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs);

// Reads `path` as the Open command does into `file`. When it cannot, says why
// on stderr ("slmtool COMMAND: ...", naming the file) and returns false; when
// it read only part of the file, says there what it left out (PartialReadNotes)
// and returns true. With `summary_only` the records are counted, not kept
// (ReadDataFileSummary).
bool ReadListFile(const char* command, const std::string& path, DataFile& file,
                  bool summary_only = false);

using CommandFn = int (*)(const std::vector<std::string>& args);
// Runs `run`; a usage error it throws (an unknown option, a missing value) is
// said as "slmtool COMMAND: ..." and gives exit status 2. Then checks that
// what it printed reached standard output (FinishOutput).
int RunCommand(const std::string& command, CommandFn run, const std::vector<std::string>& args);

// Flushes and closes standard output and returns `status`, or 1 when what
// was printed could not be written (a full disk, /dev/full), said on stderr
// as "slmtool COMMAND: ...". A reader that went away (a closed pipe) is no
// failure: nothing is said and `status` stays.
int FinishOutput(const std::string& command, int status);

// `slmtool report`: its arguments.
struct ReportJob {
  std::string input;
  int per = 1;
  std::string output;  // a .pdf file, or "" for standard output
};
ReportJob ReadReportArgs(const std::vector<std::string>& args);
// The exit status of a report: 1, said on stderr, when it stopped early.
int ReportEnd(const ListReport& report);

int RunEmulate(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunStats(const std::vector<std::string>& args);
int RunReport(const std::vector<std::string>& args);

// What `assess FILE... -o OUT.pdf` hands to the writer of its report, once
// the files are read and assessed.
struct AssessReportJob {
  std::string output;
  std::vector<AssessedFile> files;
  const MeasuredLevels* levels = nullptr;
  const AssessmentSettings* settings = nullptr;
  const Assessment* assessment = nullptr;
  const AssessedLists* lists = nullptr;
  SurveyDescription survey;
  bool all_events = false;
};
// `-o OUT.pdf` is drawn by the drawing plugin.
int RunAssess(const std::vector<std::string>& args);

}  // namespace slm::tool
