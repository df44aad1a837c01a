#include "assessment/survey_output.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "assessment/assessment_output.h"

namespace slm {

namespace {

std::vector<std::pair<std::string, std::string>> GivenFields(const SurveyDescription& survey) {
  std::vector<std::pair<std::string, std::string>> given;
  for (const SurveyField& field : kSurveyFields) {
    if (!(survey.*field.member).empty()) given.emplace_back(field.key, survey.*field.member);
  }
  given.insert(given.end(), survey.other.begin(), survey.other.end());
  return given;
}

}  // namespace

FigureTable SurveyTable(const SurveyDescription& survey) {
  FigureTable t{"survey",
                "Survey",
                {{"Field", "", "field", Format::kText, {}, "-"},
                 {"Value", "", "value", Format::kText, {}, "-"}},
                {}};
  for (auto& [key, value] : GivenFields(survey)) {
    t.rows.push_back({Cell{std::move(key)}, Cell{std::move(value)}});
  }
  return t;
}

std::string SurveyText(const SurveyDescription& survey) {
  const std::vector<std::pair<std::string, std::string>> given = GivenFields(survey);
  if (given.empty()) return {};
  std::size_t width = 0;
  for (const auto& field : given) width = std::max(width, field.first.size());
  std::string out = "Survey\n";
  for (const auto& [key, value] : given) {
    std::string_view rest = value;
    std::string caption = key;
    do {
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      caption.resize(width, ' ');
      out += caption + "  " + std::string(rest.substr(0, end)) + "\n";
      rest = end < rest.size() ? rest.substr(end + 1) : std::string_view{};
      caption.clear();
    } while (!rest.empty());
  }
  return out + "\n";
}

std::string WithSurveyJson(const std::string& json, const SurveyDescription& survey) {
  std::string member = "\"survey\": ";
  if (survey.empty()) {
    member += "null";
  } else {
    member += '{';
    for (const SurveyField& field : kSurveyFields) {
      const std::string& value = survey.*field.member;
      member += JsonString(field.json) + ": " + (value.empty() ? "null" : JsonString(value)) + ", ";
    }
    member.resize(member.size() - 2);
    if (!survey.other.empty()) {
      member += ", \"other\": {";
      for (const auto& [key, value] : survey.other) {
        member += JsonString(key) + ": " + JsonString(value) + ", ";
      }
      member.resize(member.size() - 2);
      member += '}';
    }
    member += '}';
  }
  const std::size_t brace = json.find('{');
  if (brace == std::string::npos) return json;
  const std::size_t next = json.find_first_not_of(" \n", brace + 1);
  const bool alone = next == std::string::npos || json[next] == '}';
  return json.substr(0, brace + 1) + "\n  " + member + (alone ? "" : ",") + json.substr(brace + 1);
}

}  // namespace slm
