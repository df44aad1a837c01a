// The alarm rules on short streams of samples worked out by hand.
#include "station/alarm_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/calendar.h"

namespace slm {
namespace {

std::int64_t At(const std::string& text) { return *ParseClockText(text); }

LevelSample Sample(std::int64_t time, double level, std::int32_t period = 1,
                   SampleKind kind = SampleKind::kLevel) {
  return {.time = time, .level = level, .kind = kind, .period = period};
}

// "+night-leq@12" for a raise at 12 s, "-night-leq@20" for a clear.
std::vector<std::string> Feed(AlarmSet& alarms, std::int64_t start,
                              const std::vector<double>& levels) {
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const auto t = start + static_cast<std::int64_t>(i);
    for (const AlarmChange& c : alarms.Add(Sample(t, levels[i]))) {
      seen.push_back((c.raised ? "+" : "-") + c.rule + "@" + std::to_string(t - start));
    }
  }
  return seen;
}

TEST(AlarmSet, ALeqRuleIsRaisedAndClearedOncePerCrossingWhileTheLevelHovers) {
  AlarmSet alarms({{.name = "night-leq", .limit = 65, .window = 2, .coverage = 100}},
                  Descriptors{"A", "F"});
  const std::int64_t t0 = At("2024/05/01 12:00:00");
  // The first sample covers half the window; {70, 66} is 68.4 dB, {66, 64}
  // 65.1 dB; {63.1, 63.1} is not below 65 - 2, {63.1, 62} is 62.6 dB;
  // {64, 65.5} is only 64.8 dB.
  const std::vector<AlarmChange> first = alarms.Add(Sample(t0, 70));
  EXPECT_TRUE(first.empty());
  const std::vector<AlarmChange> raise = alarms.Add(Sample(t0 + 1, 66));
  ASSERT_EQ(raise.size(), 1u);
  EXPECT_EQ(AlarmLogText(raise[0]), "alarm night-leq raised: LAeq over 2 s 68.4 dB, limit 65.0 dB");
  EXPECT_EQ(Feed(alarms, t0 + 2, {64, 64, 66, 64, 63.1, 63.1, 62, 64, 65.5, 65.5}),
            (std::vector<std::string>{"-night-leq@6", "+night-leq@9"}));
  const AlarmState state = alarms.states()[0];
  EXPECT_TRUE(state.active);
  EXPECT_EQ(state.raised, 2);
  EXPECT_EQ(state.since, t0 + 11);

  // Each sample weighs its period: 70 and 60 dB for 2 s each fill the
  // window of 4 s with 67.4 dB.
  AlarmSet weighed({{.name = "leq", .limit = 67, .window = 4, .coverage = 100}});
  EXPECT_TRUE(weighed.Add(Sample(t0, 70, 2)).empty());
  EXPECT_EQ(weighed.Add(Sample(t0 + 2, 60, 2)).size(), 1u);
}

TEST(AlarmSet, HoursWrapPastMidnightAndEndingThemClearsTheAlarm) {
  AlarmSet alarms({{.name = "night",
                    .kind = AlarmKind::kLevel,
                    .limit = 60,
                    .window = 1,
                    .between = std::pair(23 * 60, 7 * 60)}});
  EXPECT_TRUE(alarms.Add(Sample(At("2024/05/01 22:59:59"), 70)).empty());
  EXPECT_EQ(alarms.Add(Sample(At("2024/05/01 23:00:00"), 70)).size(), 1u);
  EXPECT_TRUE(alarms.Add(Sample(At("2024/05/02 06:59:59"), 70)).empty());
  EXPECT_TRUE(alarms.Tick(At("2024/05/02 06:59:59"), std::nullopt).empty());
  const std::vector<AlarmChange> ended = alarms.Tick(At("2024/05/02 07:00:00"), std::nullopt);
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_EQ(AlarmLogText(ended[0]), "alarm night cleared: outside its hours 23:00-07:00");
  EXPECT_TRUE(alarms.Add(Sample(At("2024/05/02 07:00:01"), 70)).empty());
}

TEST(AlarmSet, ALevelMustBeHeldWithoutAGapAndClearsBelowTheHysteresis) {
  AlarmSet alarms({{.name = "loud", .kind = AlarmKind::kLevel, .limit = 80, .window = 3}},
                  Descriptors{"A", "F"});
  const std::int64_t t0 = At("2024/05/01 12:00:00");
  EXPECT_TRUE(alarms.Add(Sample(t0, 81)).empty());
  EXPECT_TRUE(alarms.Add(Sample(t0 + 1, 82)).empty());
  // No sample at t0 + 2: the hold starts again at t0 + 3.
  EXPECT_TRUE(alarms.Add(Sample(t0 + 3, 85)).empty());
  EXPECT_TRUE(alarms.Add(Sample(t0 + 4, 85, 1, SampleKind::kPaused)).empty());
  const std::vector<AlarmChange> raise = alarms.Add(Sample(t0 + 5, 85));
  ASSERT_EQ(raise.size(), 1u);
  EXPECT_EQ(raise[0].detail, "LAF 85.0 dB, at or above 80.0 dB for 3 s");
  EXPECT_TRUE(alarms.Add(Sample(t0 + 6, 78)).empty());
  EXPECT_EQ(alarms.Add(Sample(t0 + 7, 77.9)).size(), 1u);
}

TEST(AlarmSet, ALostMeterRaisesAfterItsTimeAndClearsWhenItIsBack) {
  AlarmSet alarms({{.name = "lost", .kind = AlarmKind::kMeterLost, .window = 600}});
  const std::int64_t t0 = At("2024/05/01 12:00:00");
  EXPECT_TRUE(alarms.Tick(t0 + 599, t0).empty());
  const std::vector<AlarmChange> raise = alarms.Tick(t0 + 600, t0);
  ASSERT_EQ(raise.size(), 1u);
  EXPECT_EQ(raise[0].detail, "the meter has been lost for 600 s, since 2024/05/01 12:00:00");
  EXPECT_FALSE(raise[0].level);
  EXPECT_TRUE(alarms.Tick(t0 + 601, t0).empty());
  const std::vector<AlarmChange> back = alarms.Tick(t0 + 700, std::nullopt);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].detail, "the meter is back");
  EXPECT_EQ(alarms.states()[0].raised, 1);
}

TEST(AlarmSet, ARulesCommandRunsAtMostOncePerInterval) {
  AlarmSet alarms({{.name = "lost",
                    .kind = AlarmKind::kMeterLost,
                    .window = 1,
                    .command = "notify",
                    .command_interval = 3600}});
  const std::int64_t t0 = At("2024/05/01 12:00:00");
  std::vector<bool> runs;
  // Raised at t0, cleared at 100 s, raised at 200 s, cleared at 3601 s, and
  // raised again after the clock was set back an hour.
  for (const auto& [now, lost] : std::vector<std::pair<std::int64_t, bool>>{
           {1, true}, {100, false}, {201, true}, {3601, false}, {2, true}}) {
    const std::vector<AlarmChange> changes =
        alarms.Tick(t0 + now, lost ? std::optional(t0 + now - 1) : std::nullopt);
    ASSERT_EQ(changes.size(), 1u);
    runs.push_back(changes[0].run_command);
  }
  EXPECT_EQ(runs, (std::vector<bool>{true, false, false, true, true}));
  const std::vector<AlarmChange> last = alarms.Tick(t0 + 3, std::nullopt);
  EXPECT_EQ(AlarmEnvironment(last[0]),
            (std::vector<std::pair<std::string, std::string>>{
                {"SLM_ALARM_RULE", "lost"},
                {"SLM_ALARM_STATE", "cleared"},
                {"SLM_ALARM_LEVEL", ""},
                {"SLM_ALARM_TIME", "2024/05/01 12:00:03"},
                {"SLM_ALARM_MESSAGE", "alarm lost cleared: the meter is back"}}));
}

}  // namespace
}  // namespace slm
