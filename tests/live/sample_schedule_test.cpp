#include "live/sample_schedule.h"

#include <gtest/gtest.h>

#include "files/record_text.h"
#include "support/virtual_clock.h"

namespace slm {
namespace {

// Started at 10:00:00.250: the seconds fall due in the middle of each
// wall-clock second from 10:00:01 on, and carry that second's time.
TEST(SampleSchedule, SecondsFallDueOnTheMonotonicClockAndCarryTheirWallSecond) {
  test::VirtualClock clock;
  clock.Advance(0.25);
  SampleSchedule schedule;
  EXPECT_FALSE(schedule.Take(clock.Read().monotonic));  // not started
  schedule.Start(clock.Read());
  EXPECT_DOUBLE_EQ(schedule.NextDue() - clock.Read().monotonic, 1.25);

  struct Step {
    double advance;    // seconds of virtual time before the tick
    long long second;  // -1: nothing due
    long long missed;
    const char* time;
  } steps[] = {
      {1.2, -1, 0, ""},                    // early: 10:00:01.45
      {0.1, 0, 0, "2024/05/01 10:00:01"},  // due at 01.5, taken at 01.55
      {1.4, 1, 0, "2024/05/01 10:00:02"},  // late by 0.45 s: still its own second
      {0.5, -1, 0, ""},                    // early again
      {0.1, 2, 0, "2024/05/01 10:00:03"},
      {2.1, 4, 1, "2024/05/01 10:00:05"},  // held up: second 3 is missed, 4 taken
  };
  for (const Step& step : steps) {
    clock.Advance(step.advance);
    const auto due = schedule.Take(clock.Read().monotonic);
    if (step.second < 0) {
      EXPECT_FALSE(due) << step.advance;
      continue;
    }
    ASSERT_TRUE(due) << step.time;
    EXPECT_EQ(due->second, step.second);
    EXPECT_EQ(due->missed, step.missed);
    EXPECT_EQ(PcDateTimeText(due->time), step.time);
  }
}

// The rhythm keeps its own count of seconds whatever the PC clock does; the
// drift says how far the PC clock went, and a realignment takes it up
// without renumbering the seconds.
TEST(SampleSchedule, DriftOfThePcClockIsMeasuredAndTakenUpOnRealign) {
  test::VirtualClock clock;
  SampleSchedule schedule;
  schedule.Start(clock.Read());
  clock.SetWallRate(1.001);  // a slewed clock
  clock.Advance(100.6);
  ASSERT_TRUE(schedule.Take(clock.Read().monotonic));
  EXPECT_NEAR(schedule.Drift(clock.Read()), 0.1, 0.01);

  clock.StepWall(-3600);  // set back an hour
  EXPECT_NEAR(schedule.Drift(clock.Read()), -3599.9, 0.01);
  const auto before = schedule.Take(clock.Read().monotonic + 1);
  ASSERT_TRUE(before);
  EXPECT_EQ(PcDateTimeText(before->time), "2024/05/01 10:01:41");

  schedule.Realign(clock.Read());
  EXPECT_NEAR(schedule.Drift(clock.Read()), 0.0, 0.5);
  clock.Advance(1.0);
  const auto after = schedule.Take(clock.Read().monotonic);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->second, before->second + 1);
  EXPECT_EQ(PcDateTimeText(after->time).substr(11, 5), "09:01");
}

}  // namespace
}  // namespace slm
