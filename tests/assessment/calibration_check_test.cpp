// The calibration field check on small surveys worked out by hand.
#include "assessment/calibration_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"

namespace slm {
namespace {

const std::int64_t kT0 = *ParseClockText("2024/05/01 08:00:00");

// A survey from kT0, record after record.
struct Survey {
  std::vector<LevelSample> samples;
  std::int64_t next = kT0;

  Survey& Add(double level, std::int32_t period = 1, SampleKind kind = SampleKind::kLevel) {
    samples.push_back({.time = next,
                       .level = level,
                       .energy = std::pow(10.0, level / 10.0),
                       .kind = kind,
                       .period = period});
    next += period;
    return *this;
  }
  Survey& Alternate(double a, double b, int seconds) {
    for (int i = 0; i < seconds; ++i) Add(i % 2 ? b : a);
    return *this;
  }
  // Levels that are never steady for two records.
  Survey& Noise(int seconds) { return Alternate(50.0, 55.0, seconds); }
  Survey& Tone(double level, int seconds) { return Alternate(level, level, seconds); }
  Survey& Gap(int seconds) {
    next += seconds;
    return *this;
  }
};

// The survey backwards in time: its end tone is the original's start tone.
std::vector<LevelSample> Mirrored(const std::vector<LevelSample>& samples) {
  const std::int64_t sum = samples.front().time + samples.back().time + samples.back().period;
  std::vector<LevelSample> out(samples.rbegin(), samples.rend());
  for (LevelSample& s : out) s.time = sum - s.time - s.period;
  return out;
}

struct Expected {
  std::int64_t from = 0;  // seconds after kT0
  std::int64_t seconds = 0;
  double level = 0;
};

void ExpectTone(const std::optional<CalibrationTone>& tone, const std::optional<Expected>& want,
                std::int64_t origin) {
  ASSERT_EQ(tone.has_value(), want.has_value());
  if (!want) return;
  EXPECT_EQ(tone->from - origin, want->from);
  EXPECT_EQ(tone->to - tone->from, want->seconds);
  EXPECT_NEAR(tone->level, want->level, 1e-3);
}

TEST(FindCalibration, FindsTheToneNearestEachEndByTheRules) {
  CalibrationSettings short_search;
  short_search.search = 20;
  const struct {
    const char* name;
    Survey survey;
    std::optional<Expected> tone;
    CalibrationSettings settings = {};
  } cases[] = {
      {"steady 94 dB", Survey().Noise(5).Tone(94.0, 30), Expected{5, 30, 94.0}},
      {"114 dB", Survey().Noise(5).Tone(114.0, 10), Expected{5, 10, 114.0}},
      {"9 s is too short", Survey().Noise(5).Tone(94.0, 9), std::nullopt},
      {"96 dB is no calibrator", Survey().Noise(5).Tone(96.0, 30), std::nullopt},
      {"0.4 dB spread", Survey().Noise(5).Alternate(94.0, 94.4, 30), std::nullopt},
      // 94.4 - 94.1 is a hair over 0.3 in binary; its Leq: 10 log10((10^9.41 + 10^9.44) / 2).
      {"0.3 dB spread", Survey().Noise(5).Alternate(94.1, 94.4, 30), Expected{5, 30, 94.253}},
      {"a paused record splits it",
       Survey().Noise(5).Tone(94.0, 6).Add(94.0, 1, SampleKind::kPaused).Tone(94.0, 6),
       std::nullopt},
      {"a gap splits it", Survey().Noise(5).Tone(94.0, 6).Gap(1).Tone(94.0, 6), std::nullopt},
      {"two records of 5 s", Survey().Noise(5).Add(94.0, 5).Add(94.0, 5), Expected{5, 10, 94.0}},
      // Each record weighs its period: 10 log10((10^9.43 + 10^9.40) / 2).
      {"periods of 1 s and 5 s", Survey().Noise(5).Tone(94.3, 5).Add(94.0, 5),
       Expected{5, 10, 94.153}},
      // [94.0 x9, 94.3] and [94.3, 94.4 x20] share a record: the longer one counts.
      {"the longest of a chain", Survey().Noise(5).Tone(94.0, 9).Tone(94.3, 1).Tone(94.4, 20),
       Expected{14, 21, 94.395}},
      {"starts at the end of the search", Survey().Noise(600).Tone(94.0, 30),
       Expected{600, 30, 94.0}},
      {"starts after the search", Survey().Noise(21).Tone(94.0, 30), std::nullopt, short_search},
      {"goes on past the search", Survey().Noise(10).Tone(94.0, 30), Expected{10, 30, 94.0},
       short_search},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Noise longer than the search after the tone, so that it is found at one end only.
    Survey survey = c.survey;
    survey.Noise(700);
    const CalibrationCheck check = FindCalibration(survey.samples, c.settings);
    ExpectTone(check.start, c.tone, kT0);
    EXPECT_FALSE(check.end);

    const CalibrationCheck back = FindCalibration(Mirrored(survey.samples), c.settings);
    EXPECT_FALSE(back.start);
    std::optional<Expected> mirrored;
    if (c.tone) {
      const std::int64_t from = survey.next - kT0 - c.tone->from - c.tone->seconds;
      mirrored = Expected{from, c.tone->seconds, c.tone->level};
    }
    ExpectTone(back.end, mirrored, kT0);
  }
}

TEST(FindCalibration, ComparesTheEndToTheStartAndTellsIt) {
  CalibrationSettings settings;
  const auto survey = [](double end_level) {
    return Survey().Noise(3).Tone(94.1, 32).Noise(1000).Tone(end_level, 30).Noise(5).samples;
  };
  const CalibrationCheck within = FindCalibration(survey(94.3), settings);
  EXPECT_EQ(CalibrationText(within, settings),
            "Calibration check: 94.1 dB at the start (2024/05/01 08:00:03, 32 s), 94.3 dB at the "
            "end (2024/05/01 08:17:15, 30 s), drift +0.2 dB, within 0.5 dB.");
  EXPECT_EQ(CalibrationExclusions(within),
            (std::vector<Exclusion>{{kT0 + 3, kT0 + 35, "calibration check"},
                                    {kT0 + 1035, kT0 + 1065, "calibration check"}}));

  const CalibrationCheck beyond = FindCalibration(survey(93.4), settings);
  EXPECT_EQ(CalibrationText(beyond, settings),
            "Calibration check: 94.1 dB at the start (2024/05/01 08:00:03, 32 s), 93.4 dB at the "
            "end (2024/05/01 08:17:15, 30 s), drift -0.7 dB, beyond 0.5 dB: the figures may be "
            "off by as much.");

  // A survey that is one tone has no end tone of its own.
  const CalibrationCheck one = FindCalibration(Survey().Tone(94.0, 60).samples, settings);
  ExpectTone(one.start, Expected{0, 60, 94.0}, kT0);
  EXPECT_FALSE(one.end);
  EXPECT_FALSE(one.drift);
  EXPECT_EQ(CalibrationText(one, settings),
            "Calibration check: 94.0 dB at the start (2024/05/01 08:00:00, 60 s); no steady tone "
            "near 94.0 or 114.0 dB was found at the end of the survey, so the drift is not known.");

  const CalibrationCheck late =
      FindCalibration(Survey().Noise(700).Tone(94.0, 30).Noise(5).samples, settings);
  EXPECT_EQ(CalibrationText(late, settings),
            "Calibration check: no steady tone near 94.0 or 114.0 dB was found at the start of the "
            "survey; 94.0 dB at the end (2024/05/01 08:11:40, 30 s), so the drift is not known.");

  const CalibrationCheck none = FindCalibration(Survey().Noise(100).samples, settings);
  EXPECT_TRUE(CalibrationExclusions(none).empty());
  EXPECT_EQ(CalibrationText(none, settings),
            "Calibration check: no steady tone near 94.0 or 114.0 dB was found at the start or "
            "the end of the survey.");
}

TEST(CalibrationProblem, RefusesSettingsThatCannotBeUsed) {
  EXPECT_EQ(CalibrationProblem({}), "");
  CalibrationSettings bad[7];
  bad[0].nominal.clear();
  bad[1].nominal = {NAN};
  bad[2].near = -1;
  bad[3].spread = INFINITY;
  bad[4].drift_limit = -0.5;
  bad[5].min_length = 0;
  bad[6].search = -1;
  for (const CalibrationSettings& s : bad) {
    EXPECT_NE(CalibrationProblem(s), "");
    EXPECT_THROW(FindCalibration({}, s), AssessmentError);
  }
}

}  // namespace
}  // namespace slm
