#pragma once

#include <string>

#include "assessment/assessment_tables.h"
#include "files/survey_file.h"

// The survey's description beside the figures: its fields as people read
// them (the report's first page, the text form) and as programs read them
// (JSON).
namespace slm {

// The fields given, one a row: "Field" (its key in the side file) and
// "Value" (which may hold several lines); the program's keys first.
FigureTable SurveyTable(const SurveyDescription& survey);

// "Survey", then the fields given one a line, their values lined up (the
// further lines of a value below its first), then an empty line; "" when
// nothing is given. It goes before the text form of the figures.
std::string SurveyText(const SurveyDescription& survey);

// `json`, an object as AssessmentJson writes it, with "survey" as its first
// member: an object of every field at its JSON key (null where none is
// given) and the fields of other keys under "other" when there are any; null
// when nothing is given.
std::string WithSurveyJson(const std::string& json, const SurveyDescription& survey);

}  // namespace slm
