#include "files/survey_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/text_excerpt.h"
#include "files/file_io.h"

namespace slm {

namespace {

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const SurveyField* KnownField(std::string_view key) {
  for (const SurveyField& field : kSurveyFields) {
    if (SameKey(key, field.key)) return &field;
  }
  return nullptr;
}

// "Key: value", and each further line of the value indented on a line of its own.
void AppendField(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += ':';
  for (bool first = true; first || !value.empty(); first = false) {
    const std::size_t end = std::min(value.find('\n'), value.size());
    std::string_view line = value.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    value = end < value.size() ? value.substr(end + 1) : std::string_view{};
    if (!first) out += '\n';
    if (!line.empty()) out += (first ? " " : "  ") + std::string(line);
  }
  out += '\n';
}

}  // namespace

bool SurveyDescription::empty() const {
  for (const SurveyField& field : kSurveyFields) {
    if (!(this->*field.member).empty()) return false;
  }
  return other.empty();
}

std::string SurveyPathFor(const std::string& data_path) {
  std::filesystem::path path(data_path);
  if (path.extension() == ".survey") return data_path + ".survey";
  return path.replace_extension(".survey").string();
}

SurveyDescription ReadSurvey(const std::string& path) {
  SurveyDescription survey;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return survey;
  const std::string text = ReadWholeFile(path);
  std::string* value = nullptr;  // the field that lines go on with
  std::size_t empty_lines = 0;   // since the field's last line
  std::vector<const SurveyField*> given;
  std::size_t line_number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = std::string_view(text).substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    ++line_number;
    const auto refuse = [&](const std::string& problem) {
      throw DataFileError(path, "\"" + path + "\" line " + std::to_string(line_number) + ": " +
                                    QuotedExcerpt(line) + " " + problem);
    };
    if (Trimmed(line).empty()) {
      ++empty_lines;
      continue;
    }
    if (line.front() == ' ' || line.front() == '\t') {
      if (value == nullptr) refuse("goes on with no field above it");
      if (!value->empty()) value->append(empty_lines + 1, '\n');
      *value += Trimmed(line);
      empty_lines = 0;
      continue;
    }
    const std::size_t colon = line.find(':');
    const std::string_view key =
        Trimmed(line.substr(0, colon == std::string_view::npos ? 0 : colon));
    if (key.empty()) refuse("is no \"Key: value\" line");
    if (const SurveyField* field = KnownField(key)) {
      if (std::find(given.begin(), given.end(), field) != given.end()) {
        refuse("gives \"" + std::string(field->key) + "\" a second time");
      }
      given.push_back(field);
      value = &(survey.*field->member);
    } else {
      survey.other.emplace_back(std::string(key), std::string());
      value = &survey.other.back().second;
    }
    *value = Trimmed(line.substr(colon + 1));
    empty_lines = 0;
  }
  return survey;
}

void WriteSurvey(const std::string& path, const SurveyDescription& survey) {
  if (survey.empty()) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) throw DataFileError(path, "Cannot remove \"" + path + "\": " + ec.message());
    return;
  }
  std::string text;
  for (const SurveyField& field : kSurveyFields) {
    if (!(survey.*field.member).empty()) AppendField(text, field.key, survey.*field.member);
  }
  for (const auto& [key, value] : survey.other) AppendField(text, key, value);
  WriteWholeFile(path, text);
}

SurveyEditor::SurveyEditor(std::string data_path) : data_path_(std::move(data_path)) {}

std::string SurveyEditor::path() const {
  return data_path_.empty() ? std::string() : SurveyPathFor(data_path_);
}

std::string SurveyEditor::Read() {
  if (data_path_.empty()) return {};
  try {
    survey_ = ReadSurvey(path());
    unreadable_ = false;
  } catch (const DataFileError& e) {
    unreadable_ = true;
    return std::string(e.what()) +
           "\nIt is left as it is: the survey described here is not written to it.";
  }
  return {};
}

std::string SurveyEditor::Change(const SurveyDescription& changed) {
  const SurveyDescription was = survey_;
  const auto apply = [&](SurveyDescription& to) {
    for (const SurveyField& field : kSurveyFields) {
      if (changed.*field.member != was.*field.member) to.*field.member = changed.*field.member;
    }
  };
  apply(survey_);
  if (data_path_.empty()) return {};
  if (unreadable_) {
    return path() +
           " could not be read, so it is not written over: the survey described here "
           "is kept in this window only.";
  }
  try {
    const FileLock lock(data_path_, 5.0);
    SurveyDescription now = ReadSurvey(path());
    apply(now);
    WriteSurvey(path(), now);
    survey_ = std::move(now);
  } catch (const DataFileError& e) {
    return std::string(e.what()) + "\nThe survey described here is kept in this window only.";
  }
  return {};
}

}  // namespace slm
