#include "sim/meter_state.h"

#include <gtest/gtest.h>

namespace slm::sim {
namespace {

TEST(MeterState, RunAndRecordKeysAskTheLoggerToStartOrStop) {
  const struct {
    bool run, pause, stop;  // before the key
    bool logging;
    int key;
    LoggerAction action;
    bool run_after, pause_after, stop_after;
  } cases[] = {
      {true, false, false, false, 6, LoggerAction::kStart, true, false, false},
      {true, false, false, true, 6, LoggerAction::kStop, true, false, false},
      {false, true, false, false, 6, LoggerAction::kNone, false, true, false},
      {false, false, true, false, 6, LoggerAction::kNone, false, false, true},
      {false, true, false, true, 6, LoggerAction::kStop, false, true, false},
      {true, false, false, true, 5, LoggerAction::kNone, false, true, false},
      {false, true, false, true, 5, LoggerAction::kStop, false, false, true},
      {false, true, false, false, 5, LoggerAction::kNone, false, false, true},
      {false, false, true, false, 5, LoggerAction::kNone, true, false, false},
      {false, false, false, false, 5, LoggerAction::kNone, true, false, false},
      {true, false, false, true, 1, LoggerAction::kNone, true, false, false},
      {true, false, false, true, 11, LoggerAction::kNone, true, false, false},
  };
  for (const auto& c : cases) {
    MeterState state;
    state.run = c.run;
    state.pause = c.pause;
    state.stop = c.stop;
    const std::string what = "key " + std::to_string(c.key) + " from " + (c.run ? "R" : "") +
                             (c.pause ? "P" : "") + (c.stop ? "S" : "") +
                             (c.logging ? " logging" : "");
    EXPECT_EQ(state.PressKey(c.key, c.logging), c.action) << what;
    EXPECT_EQ(state.run, c.run_after) << what;
    EXPECT_EQ(state.pause, c.pause_after) << what;
    EXPECT_EQ(state.stop, c.stop_after) << what;
  }
}

TEST(MeterState, LettersPressTheirKeys) {
  const struct {
    char letter;
    int key;
  } cases[] = {{'G', 1}, {'D', 2}, {'E', 9}, {'F', 10}, {'K', 0}, {'A', 0}, {'g', 0}, {'\0', 0}};
  for (const auto& c : cases) EXPECT_EQ(KeyOfLetter(c.letter), c.key) << c.letter;
}

TEST(MeterState, OverAndUnderFollowTheRangeEnds) {
  const struct {
    int range_code;
    double level;
    bool over, under;
  } cases[] = {
      {0, 140.0, false, false}, {0, 140.05, true, false}, {0, 80.0, false, false},
      {0, 79.95, false, true},  {3, 110.1, true, false},  {3, 49.9, false, true},
      {5, 90.1, true, false},   {5, 29.9, false, true},   {6, 500, false, false},
      {7, -10, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LevelOver(c.range_code, c.level), c.over) << c.range_code << " " << c.level;
    EXPECT_EQ(LevelUnder(c.range_code, c.level), c.under) << c.range_code << " " << c.level;
  }
}

}  // namespace
}  // namespace slm::sim
