#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

// What a survey was (where, for whom, who measured with which meter, the
// weather), kept in a small text file beside its data so that the report can
// say it while the data files never change. The side file of "day1.dlgr" is
// "day1.survey":
//
//   Site: Mill Lane 4
//   Client: Town of Ashby
//   Meter serial number: 123456
//   Remarks: Rain from 14:00.
//     A dog barked near the meter in the evening.
//
// One field a line, "Key: value", the key's case as you like. A line that
// starts with a blank or a tab goes on with the field above, as a line of its
// own (the blanks before it are dropped); an empty line between two such
// lines is an empty line of that field. Empty lines between fields are
// allowed; every other line is refused, naming the file and the line. Keys
// the program does not know are kept and written back after its own, so that
// nothing a user wrote is lost. The bytes are Latin-1, as in every text of
// the program.
namespace slm {

struct SurveyDescription {
  std::string site, address, client, purpose, operator_name, meter_model, meter_serial, calibrator,
      calibrator_serial, weather, remarks;  // remarks may hold several lines
  // The fields of keys the program does not know, as the file gives them.
  std::vector<std::pair<std::string, std::string>> other;

  bool empty() const;
  friend bool operator==(const SurveyDescription&, const SurveyDescription&) = default;
};

// A field of the description: its key in the side file (which is also its
// caption for people), its key in JSON, and where it is kept.
struct SurveyField {
  const char* key;
  const char* json;
  std::string SurveyDescription::*member;
};
inline constexpr std::array<SurveyField, 11> kSurveyFields = {{
    {"Site", "site", &SurveyDescription::site},
    {"Address", "address", &SurveyDescription::address},
    {"Client", "client", &SurveyDescription::client},
    {"Purpose", "purpose", &SurveyDescription::purpose},
    {"Operator", "operator", &SurveyDescription::operator_name},
    {"Meter", "meter", &SurveyDescription::meter_model},
    {"Meter serial number", "meter_serial", &SurveyDescription::meter_serial},
    {"Calibrator", "calibrator", &SurveyDescription::calibrator},
    {"Calibrator serial number", "calibrator_serial", &SurveyDescription::calibrator_serial},
    {"Weather", "weather", &SurveyDescription::weather},
    {"Remarks", "remarks", &SurveyDescription::remarks},
}};

// The side file of a set of files, named after its earliest data file: the
// data file's path with ".survey" for its extension ("day1.dlgr" gives
// "day1.survey"); a data file that is itself named ".survey" gets
// "NAME.survey.survey", so that it is never taken for its own side file.
std::string SurveyPathFor(const std::string& data_path);

// The description a side file holds; an empty one when there is no such
// file. Throws DataFileError naming the file, and the line when one cannot
// be read (quoting at most 40 characters of it).
SurveyDescription ReadSurvey(const std::string& path);

// Writes the side file at `path` (a temporary file renamed over it), or
// removes it when the description is empty. Throws DataFileError.
void WriteSurvey(const std::string& path, const SurveyDescription& survey);

// The description of a set of files as a window edits it: read from the side
// file of its earliest data file, each change written there at once.
class SurveyEditor {
 public:
  // `data_path` is "" for a set without a file (a downloaded set): its
  // description is then kept by the window only.
  explicit SurveyEditor(std::string data_path);

  // Reads the side file; "" or what could not be read. A side file that
  // could not be read is never written over, so that nothing in it is lost.
  std::string Read();
  const SurveyDescription& survey() const { return survey_; }
  // The side file's path; "" without a data file.
  std::string path() const;

  // Takes the fields of `changed` that differ from survey(). Another window
  // or program may have written the side file since it was read: under the
  // lock that every editor takes on the data file, the change is made to
  // what the file holds now, so that fields changed elsewhere and keys of
  // others stay. Returns "" or why it was not written (the change stays here).
  std::string Change(const SurveyDescription& changed);

 private:
  std::string data_path_;
  SurveyDescription survey_;
  bool unreadable_ = false;
};

}  // namespace slm
