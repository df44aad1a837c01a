#include "app/tool_shell.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "base/number_text.h"
#include "files/exclusions_file.h"
#include "files/file_io.h"
#include "files/list_summary.h"
#include "files/survey_file.h"

namespace slm::tool {

Options::Options(const std::vector<std::string>& args, const std::vector<std::string>& with_value,
                 const std::vector<std::string>& flags) {
  auto known = [](const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    // "-o OUT" is the one short option: "--output OUT".
    const std::string& a = args[i] == "-o" ? std::string("--output") : args[i];
    if (a.rfind("--", 0) != 0) {
      positional_.push_back(a);
      continue;
    }
    std::string name = a;
    std::string value;
    bool inline_value = false;
    if (const size_t eq = a.find('='); eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
      inline_value = true;
    }
    if (known(flags, name)) {
      values_.emplace(name, "1");
    } else if (known(with_value, name)) {
      if (!inline_value) {
        if (i + 1 >= args.size()) throw std::runtime_error(name + " needs a value");
        value = args[++i];
      }
      values_.emplace(name, value);
    } else {
      throw std::runtime_error("unknown option " + name);
    }
  }
}

std::string Options::Get(const std::string& name, const std::string& fallback) const {
  auto it = values_.find(name);
  return it == values_.end() ? fallback : it->second;
}

std::vector<std::string> Options::All(const std::string& name) const {
  std::vector<std::string> out;
  auto [first, last] = values_.equal_range(name);
  for (auto it = first; it != last; ++it) out.push_back(it->second);
  return out;
}

double Options::Number(const std::string& name, double fallback) const {
  if (!Has(name)) return fallback;
  const std::string text = Get(name);
  if (const std::optional<double> v = ParseNumber(text)) return *v;
  throw std::runtime_error(name + " takes a number, not \"" + text + "\"");
}

long long Options::Whole(const std::string& name, long long fallback, long long low,
                         long long high) const {
  if (!Has(name)) return fallback;
  const std::optional<long long> value = ParseInteger(Get(name));
  if (!value || *value < low || *value > high) {
    throw std::runtime_error(name + " takes a whole number from " + std::to_string(low) + " to " +
                             std::to_string(high) + ", not \"" + Get(name) + "\"");
  }
  return *value;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  const std::string_view tail = text.substr(text.size() - end.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) !=
        std::tolower(static_cast<unsigned char>(end[i]))) {
      return false;
    }
  }
  return true;
}

bool IsCsvPath(std::string_view path) { return EndsWithNoCase(path, ".csv"); }

void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs) {
  namespace fs = std::filesystem;
  // A side file is refused before it exists too: a CSV written there would
  // be read back as the stretches left out, or as the survey's description.
  auto same = [](const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    const fs::path x = fs::weakly_canonical(a, ec);
    if (ec) return false;
    const fs::path y = fs::weakly_canonical(b, ec);
    return !ec && x == y;
  };
  for (const std::string& input : inputs) {
    for (const std::string& read : {input, ExclusionsPathFor(input), SurveyPathFor(input)}) {
      if (same(output, read)) {
        throw std::runtime_error(
            "-o names \"" + output + "\", which this command reads (" +
            (read == input ? "one of its files" : "the side file of " + input) +
            "); it is never written over: choose another name");
      }
    }
  }
}

bool ReadListFile(const char* command, const std::string& path, DataFile& file, bool summary_only) {
  try {
    file = summary_only ? ReadDataFileSummary(path) : OpenDataFile(path);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool %s: %s\n", command, e.what());
    return false;
  }
  for (const std::string& note : PartialReadNotes(file)) {
    std::fprintf(stderr, "slmtool %s: %s: %s\n", command, AbsolutePath(path).c_str(), note.c_str());
  }
  return true;
}

int RunCommand(const std::string& command, CommandFn run, const std::vector<std::string>& args) {
  int status = 2;
  try {
    status = run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "slmtool %s: %s\n", command.c_str(), e.what());
  }
  return FinishOutput(command, status);
}

int FinishOutput(const std::string& command, int status) {
  errno = 0;
  bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  int error = errno;
  // A pipe whose reader has gone reports an error condition to poll, also
  // when an earlier write failed and its error number is gone.
  pollfd out{STDOUT_FILENO, 0, 0};
  const bool reader_gone = ::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
  if (std::fclose(stdout) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  if (!failed || error == EPIPE || reader_gone) return status;
  std::fprintf(
      stderr, "slmtool %s: its output could not be written whole: %s\n",
      command.empty() ? "" : command.c_str(),
      error != 0 ? FileErrorInWords(error, FileAction::kWrite).c_str() : "the system refused");
  return 1;
}

}  // namespace slm::tool
