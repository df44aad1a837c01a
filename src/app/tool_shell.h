#pragma once

// What slmtool's commands share without Qt: their options and file names.
// The commands declared here need nothing but the core, so they run without
// the GUI libraries.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/assessment.h"
#include "analysis/assessment_tables.h"

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
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::multimap<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// True when `text` ends in `end`, letters in any case.
bool EndsWithNoCase(std::string_view text, std::string_view end);

// True when `path` ends in ".csv" in any case: such a file gets the comma form.
bool IsCsvPath(std::string_view path);

// What `assess FILE... -o OUT.pdf` hands to the writer of its report, once
// the files are read and assessed.
struct AssessReportJob {
  std::string output;
  std::vector<AssessedFile> files;
  const MeasuredLevels* levels = nullptr;
  const AssessmentSettings* settings = nullptr;
  const Assessment* assessment = nullptr;
};
// Writes the report and returns the command's exit code.
using AssessReportWriter = int (*)(const AssessReportJob& job);

// `report` draws the PDF report; without it, `-o OUT.pdf` is refused.
int RunAssess(const std::vector<std::string>& args, AssessReportWriter report = nullptr);

}  // namespace slm::tool
