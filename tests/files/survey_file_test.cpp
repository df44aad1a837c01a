#include "files/survey_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/file_io.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

// The fields written as "Key: value" lines, the further lines of a value
// indented, keys of others kept in their place; read back whatever the
// keys' case and the line ends.
TEST(SurveyFile, IsReadBackAsWrittenKeepingKeysOfOthersAndLinesOfRemarks) {
  test::TempDir dir;
  EXPECT_EQ(SurveyPathFor(dir.File("day1.dlgr")), dir.File("day1.survey"));
  EXPECT_EQ(SurveyPathFor(dir.File("x.survey")), dir.File("x.survey.survey"));
  const std::string path = SurveyPathFor(dir.File("day1.dlgr"));
  test::WriteBytes(path,
                   "site: Mill Lane 4\r\n\r\nWind: 2 m/s \xb0N\r\nMETER SERIAL NUMBER:123\r\n"
                   "Remarks:\r\n  Rain from 14:00.\r\n\r\n\t A dog barked.\r\n\r\nNote:\n");
  SurveyDescription survey = ReadSurvey(path);
  EXPECT_EQ(survey.site, "Mill Lane 4");
  EXPECT_EQ(survey.meter_serial, "123");
  EXPECT_EQ(survey.remarks, "Rain from 14:00.\n\nA dog barked.");
  EXPECT_EQ(survey.other,
            (decltype(survey.other){{"Wind", "2 m/s \xb0N"}, {"Note", ""}}));  // Latin-1 kept

  survey.weather = "dry";
  WriteSurvey(path, survey);
  EXPECT_EQ(test::ReadBytes(path),
            "Site: Mill Lane 4\nMeter serial number: 123\nWeather: dry\n"
            "Remarks: Rain from 14:00.\n\n  A dog barked.\nWind: 2 m/s \xb0N\nNote:\n");
  EXPECT_EQ(ReadSurvey(path), survey);

  WriteSurvey(path, {});
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(ReadSurvey(path).empty());
}

TEST(SurveyFile, ALineThatCannotBeReadIsNamedAndQuoted) {
  test::TempDir dir;
  const std::string path = dir.File("day1.survey");
  for (const auto& [text, said] : {
           std::pair{"Site: a\n\n" + std::string(60, 'x') + "\n",
                     "line 3: \"" + std::string(40, 'x') + "...\" is no \"Key: value\" line"},
           std::pair{std::string("  Rain\n"),
                     std::string("line 1: \"  Rain\" goes on with no field")},
           std::pair{std::string("Site: a\nSITE: b\n"),
                     std::string("line 2: \"SITE: b\" gives \"Site\" a second time")},
       }) {
    test::WriteBytes(path, text);
    try {
      ReadSurvey(path);
      ADD_FAILURE() << text;
    } catch (const DataFileError& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + path + "\" " + said), std::string::npos)
          << e.what();
    }
  }
}

// Two windows over one survey: each change is made to what the side file
// holds by then, so neither loses the other's; one that could not be read
// is not written over.
TEST(SurveyEditor, WritesItsChangesToWhatTheSideFileHoldsNow) {
  test::TempDir dir;
  const std::string data = dir.File("day1.dlgr");
  test::WriteBytes(data, "");
  SurveyEditor first(data);
  SurveyEditor second(data);
  ASSERT_EQ(first.Read() + second.Read(), "");
  SurveyDescription typed = first.survey();
  typed.site = "Mill Lane 4";
  EXPECT_EQ(first.Change(typed), "");
  test::WriteBytes(first.path(), test::ReadBytes(first.path()) + "Wind: calm\n");
  typed = second.survey();
  typed.weather = "dry";
  EXPECT_EQ(second.Change(typed), "");
  EXPECT_EQ(test::ReadBytes(first.path()), "Site: Mill Lane 4\nWeather: dry\nWind: calm\n");
  EXPECT_EQ(second.survey().site, "Mill Lane 4");

  test::WriteBytes(first.path(), "Site\n");
  EXPECT_NE(first.Read().find("line 1"), std::string::npos);
  typed.client = "Town";
  EXPECT_NE(first.Change(typed).find("not written over"), std::string::npos);
  EXPECT_EQ(first.survey().client, "Town");
  EXPECT_EQ(test::ReadBytes(first.path()), "Site\n");
}

}  // namespace
}  // namespace slm
