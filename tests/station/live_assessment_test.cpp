// The station's live figures: the running windows worked out by hand, and
// the events, which must end exactly as the assessment of the same samples
// ends them.
#include "station/live_assessment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "base/number_text.h"

namespace slm {
namespace {

std::int64_t At(const std::string& text) { return *ParseClockText(text); }

LevelSample SampleAt(std::int64_t time, const std::string& text, std::int32_t period = 1) {
  return *LevelSampleOf(time, text, period);
}

double Leq(const std::vector<double>& levels) {
  double energy = 0;
  for (const double l : levels) energy += std::pow(10.0, l / 10.0);
  return 10.0 * std::log10(energy / static_cast<double>(levels.size()));
}

const RunningLeq& Window(const StationStatus& s, const std::string& name) {
  for (const RunningLeq& w : s.leqs) {
    if (w.window == name) return w;
  }
  throw std::runtime_error("no window " + name);
}

// Across 22:59:58 .. 23:00:02, a paused sample and a new minute: each
// window starts again at its own bound; the part turns to night.
TEST(LiveAssessment, RunningWindowsStartAgainAtTheirClockBounds) {
  AssessmentSettings settings;
  settings.interval = 60;
  LiveAssessment live(settings, {60, 900});
  const std::int64_t t0 = At("2024/05/01 22:58:00");
  // A minute of 50 dB with ten seconds at 60 dB: the last whole interval.
  for (int i = 0; i < 60; ++i) live.Add(SampleAt(t0 + i, i < 10 ? "60.0" : "50.0"));
  const std::int64_t t1 = At("2024/05/01 22:59:58");
  live.Add(SampleAt(t1, "70.0"));
  live.Add(SampleAt(t1 + 1, "80.0*"));  // paused: not counted
  live.Add(SampleAt(t1 + 2, "62.0"));
  live.Add(SampleAt(t1 + 3, "64.0"));

  StationStatus s;
  live.Fill(t1 + 3, s);
  EXPECT_EQ(s.part, "night");
  EXPECT_NEAR(*Window(s, "1m").leq, Leq({62, 64}), 1e-9);
  EXPECT_EQ(Window(s, "1m").start, At("2024/05/01 23:00:00"));
  EXPECT_NEAR(Window(s, "1m").coverage, 100.0, 1e-9);
  EXPECT_EQ(Window(s, "15m").start, At("2024/05/01 23:00:00"));
  EXPECT_NEAR(Window(s, "part").leq.value(), Leq({62, 64}), 1e-9);
  EXPECT_EQ(Window(s, "part").length, 8 * 3600);
  // The evening so far holds the minute at 22:58, 22:59:58 and nothing paused.
  std::vector<double> evening(60, 50.0);
  for (int i = 0; i < 10; ++i) evening[static_cast<std::size_t>(i)] = 60.0;
  evening.push_back(70.0);
  EXPECT_NEAR(*s.levening, Leq(evening), 1e-9);
  EXPECT_FALSE(s.lday.has_value());
  EXPECT_NEAR(*Window(s, "day").leq, Leq([&] {
    auto all = evening;
    all.insert(all.end(), {62.0, 64.0});
    return all;
  }()),
              1e-9);
  // LAF10/LAF90 of the last whole interval, 22:59: only 22:59:58 was in it.
  EXPECT_EQ(s.l10_l90_start, At("2024/05/01 22:59:00"));
  EXPECT_EQ(*s.l10, 70.0);
  // A minute later with no sample since: that window has no level yet and
  // the interval before it had none.
  live.Fill(t1 + 70, s);
  EXPECT_FALSE(Window(s, "1m").leq.has_value());
  EXPECT_FALSE(s.l10.has_value());
}

// Random levels with gaps, paused samples and a second period: every event
// the live figures end is the assessment's, with the same figures, and in
// time: each is known by the first sample after its hold.
TEST(LiveAssessment, EventsAreTheAssessmentsEventsWhenTheyEnd) {
  AssessmentSettings settings;
  settings.threshold = 70.0;
  settings.min_duration = 3;
  settings.hold = 4;
  std::mt19937 random(29);
  std::uniform_int_distribution<int> level(600, 800);
  std::uniform_int_distribution<int> pick(0, 99);
  MeasuredLevels levels;
  std::int64_t t = At("2024/05/01 23:50:00");
  for (int i = 0; i < 20000; ++i) {
    const int r = pick(random);
    t += r < 2 ? 7 : 1;  // a gap now and then
    std::string text = OneDecimalText(level(random) / 10.0);
    if (r == 3) text += "*";
    levels.samples.push_back(SampleAt(t, text, i < 10000 ? 1 : 2));
    if (i >= 10000) t += 1;
  }
  const Assessment whole = Assess(levels, settings);
  ASSERT_GT(whole.events.size(), 100u);

  LiveAssessment live(settings, {60});
  std::vector<ExceedanceEvent> ended;
  for (const LevelSample& s : levels.samples) {
    for (const ExceedanceEvent& e : live.Add(s)) {
      EXPECT_LT(e.end + settings.hold, s.time + 1) << "known before its hold ran out";
      ended.push_back(e);
    }
  }
  StationStatus status;
  for (const ExceedanceEvent& e : live.Finish()) ended.push_back(e);
  ASSERT_EQ(ended.size(), whole.events.size());
  for (std::size_t i = 0; i < ended.size(); ++i) {
    EXPECT_EQ(ended[i].start, whole.events[i].start) << i;
    EXPECT_EQ(ended[i].end, whole.events[i].end) << i;
    EXPECT_EQ(ended[i].lmax, whole.events[i].lmax) << i;
    EXPECT_DOUBLE_EQ(ended[i].Leq(), whole.events[i].Leq()) << i;
  }
  live.Fill(t, status);
  EXPECT_EQ(status.events, static_cast<std::int64_t>(ended.size()));
  EXPECT_FALSE(status.in_event);
}

}  // namespace
}  // namespace slm
