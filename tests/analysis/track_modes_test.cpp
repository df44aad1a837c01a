#include "analysis/track_modes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace slm {
namespace {

using Kind = TrackStep::Kind;

constexpr GraphWindow kWindows[] = {GraphWindow::kRealTimeGraph, GraphWindow::kPlot,
                                    GraphWindow::kRealHistogram, GraphWindow::kHistogram};

// The steps of an entry as a window carries them out, e.g. "set 3, remove".
std::string Steps(const TrackAction& action) {
  const std::map<Kind, std::string> names = {
      {Kind::kSetMode, "set"},           {Kind::kSetModeOnly, "mode only"},
      {Kind::kRemoveCursors, "remove"},  {Kind::kCursorsOff, "off"},
      {Kind::kCursorToCentre, "centre"}, {Kind::kResetAxes, "reset"}};
  std::string out;
  for (const TrackStep& step : action.steps) {
    out += (out.empty() ? "" : ", ") + names.at(step.kind);
    if (step.kind == Kind::kSetMode || step.kind == Kind::kSetModeOnly) {
      out += " " + std::to_string(static_cast<int>(step.mode));
    }
  }
  return out;
}

// What the user reads in each window's list, and what each entry does: the
// cursor entry puts a cursor in the centre, the drag modes take the cursors
// away (the Histogram only switches them off), and only the Real Time
// Graph's "Normal" and the live histogram's "ZoomY" leave them.
TEST(TrackModes, EachWindowsEntriesAndTheirSteps) {
  const std::vector<std::string> graph = {
      "Normal", "Cursor Coordinates", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY"};
  const std::vector<std::string> histogram = {"Normal", "PanXY", "PanX",  "PanY",
                                              "ZoomXY", "ZoomX", "ZoomY", "Reset"};
  const struct {
    GraphWindow window;
    std::vector<std::string> entries;
    std::vector<std::string> steps;
  } cases[] = {
      {GraphWindow::kRealTimeGraph,
       graph,
       {"set 1", "set 2, centre", "set 3, remove", "remove, set 4", "remove, set 5",
        "remove, set 6", "remove, set 7", "remove, set 8"}},
      {GraphWindow::kPlot,
       graph,
       {"set 1, remove", "set 2, centre", "set 3, remove", "remove, set 4", "remove, set 5",
        "remove, set 6", "remove, set 7", "remove, set 8"}},
      {GraphWindow::kRealHistogram,
       {"Normal", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY", "Reset Scale"},
       {"set 1, remove", "set 3, remove", "remove, set 4", "remove, set 5", "remove, set 6",
        "remove, set 7", "set 8", "reset"}},
      {GraphWindow::kHistogram,
       histogram,
       {"set 1, off", "set 3, off", "off, set 4", "off, set 5", "off, set 6", "off, set 7",
        "off, set 8", "off, reset, mode only 1"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrackModeList(c.window), c.entries);
    for (int position = -1; position <= 8; ++position) {
      const std::optional<TrackAction> action = TrackActionFor(c.window, position);
      if (position < 0 || position >= 8) {
        EXPECT_FALSE(action.has_value()) << position;
        continue;
      }
      ASSERT_TRUE(action.has_value()) << position;
      EXPECT_EQ(Steps(*action), c.steps[static_cast<std::size_t>(position)])
          << c.entries[static_cast<std::size_t>(position)];
      EXPECT_EQ(action->hide_list_panel,
                c.window == GraphWindow::kRealHistogram || c.window == GraphWindow::kHistogram);
      // A mode set shows its description in that window; "mode only" none.
      for (const TrackStep& step : action->steps) {
        EXPECT_EQ(step.text, step.kind == Kind::kSetMode ? TrackModeDescription(c.window, step.mode)
                                                         : std::string());
      }
    }
  }
}

// The Histogram window has descriptions of its own, in UTF-8; the others
// share the English ones.
TEST(TrackModes, DescriptionsInEachWindow) {
  for (int mode = 1; mode <= 8; ++mode) {
    const std::string english =
        TrackModeDescription(GraphWindow::kRealTimeGraph, static_cast<TrackMode>(mode));
    EXPECT_FALSE(english.empty());
    EXPECT_EQ(TrackModeDescription(GraphWindow::kPlot, static_cast<TrackMode>(mode)), english);
    EXPECT_EQ(TrackModeDescription(GraphWindow::kRealHistogram, static_cast<TrackMode>(mode)),
              english);
  }
  // Each pan and zoom description says which way it works.
  for (const GraphWindow window : kWindows) {
    for (int mode = 3; mode <= 8; ++mode) {
      const std::string text = TrackModeDescription(window, static_cast<TrackMode>(mode));
      const bool x = mode != 5 && mode != 8, y = mode != 4 && mode != 7;
      EXPECT_EQ(text.find("horizontal") != std::string::npos, x) << text;
      EXPECT_EQ(text.find("vertical") != std::string::npos, y) << text;
      EXPECT_EQ(text.find("zoom") != std::string::npos, mode >= 6) << text;
    }
  }
  EXPECT_EQ(TrackModeDescription(GraphWindow::kPlot, TrackMode::kZoomX),
            "Select a region on the graph to zoom horizontally.");
  // A slip in the escapes of the code shows in the bytes.
  EXPECT_EQ(TrackModeDescription(GraphWindow::kHistogram, TrackMode::kZoomX),
            "Selecione uma regi\xE7\xB7\x8C do gr\xE5\xA1\xBBico para aumentar o zoom "
            "horizontalmente.");
  EXPECT_EQ(TrackModeDescription(GraphWindow::kHistogram, TrackMode::kNormal), "Normal mode");
}

}  // namespace
}  // namespace slm
