#include "analysis/track_modes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace slm {
namespace {

using ::testing::ElementsAre;
using Kind = TrackStep::Kind;

constexpr GraphWindow kAllWindows[] = {GraphWindow::kRealTimeGraph, GraphWindow::kPlot,
                                       GraphWindow::kRealHistogram, GraphWindow::kHistogram};

std::string WindowName(GraphWindow window) {
  switch (window) {
    case GraphWindow::kRealTimeGraph:
      return "real time graph";
    case GraphWindow::kPlot:
      return "plot";
    case GraphWindow::kRealHistogram:
      return "real histogram";
    case GraphWindow::kHistogram:
      return "histogram";
  }
  return "?";
}

// The steps as a window carries them out, e.g. "set 3, remove".
std::string Steps(const TrackAction& action) {
  std::string out;
  for (const TrackStep& step : action.steps) {
    if (!out.empty()) out += ", ";
    const std::string code = std::to_string(static_cast<int>(step.mode));
    switch (step.kind) {
      case Kind::kSetMode:
        out += "set " + code;
        break;
      case Kind::kSetModeOnly:
        out += "mode only " + code;
        break;
      case Kind::kRemoveCursors:
        out += "remove";
        break;
      case Kind::kCursorsOff:
        out += "off";
        break;
      case Kind::kCursorToCentre:
        out += "centre";
        break;
      case Kind::kResetAxes:
        out += "reset";
        break;
    }
  }
  return out;
}

TEST(TrackModesTest, EachWindowListsItsEntries) {
  const std::vector<std::string> time_graph = {
      "Normal", "Cursor Coordinates", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY"};
  EXPECT_EQ(TrackModeList(GraphWindow::kRealTimeGraph), time_graph);
  EXPECT_EQ(TrackModeList(GraphWindow::kPlot), time_graph);
  EXPECT_THAT(
      TrackModeList(GraphWindow::kRealHistogram),
      ElementsAre("Normal", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY", "Reset Scale"));
  EXPECT_THAT(TrackModeList(GraphWindow::kHistogram),
              ElementsAre("Normal", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY", "Reset"));
}

TEST(TrackModesTest, EachEntryTakesItsStepsInOrder) {
  using Case = std::tuple<GraphWindow, int, std::string>;
  const GraphWindow rtg = GraphWindow::kRealTimeGraph;
  const GraphWindow plot = GraphWindow::kPlot;
  const GraphWindow live = GraphWindow::kRealHistogram;
  const GraphWindow hist = GraphWindow::kHistogram;
  const std::vector<Case> cases = {
      // Real Time Graph: "Normal" leaves the cursors where they are.
      {rtg, 0, "set 1"},
      {rtg, 1, "set 2, centre"},
      {rtg, 2, "set 3, remove"},
      {rtg, 3, "remove, set 4"},
      {rtg, 4, "remove, set 5"},
      {rtg, 5, "remove, set 6"},
      {rtg, 6, "remove, set 7"},
      {rtg, 7, "remove, set 8"},
      // Plot: the same but for "Normal".
      {plot, 0, "set 1, remove"},
      {plot, 1, "set 2, centre"},
      {plot, 2, "set 3, remove"},
      {plot, 3, "remove, set 4"},
      {plot, 4, "remove, set 5"},
      {plot, 5, "remove, set 6"},
      {plot, 6, "remove, set 7"},
      {plot, 7, "remove, set 8"},
      // Real histogram: no cursor entry; ZoomY keeps the cursors.
      {live, 0, "set 1, remove"},
      {live, 1, "set 3, remove"},
      {live, 2, "remove, set 4"},
      {live, 3, "remove, set 5"},
      {live, 4, "remove, set 6"},
      {live, 5, "remove, set 7"},
      {live, 6, "set 8"},
      {live, 7, "reset"},
      // Histogram: cursors switched off instead of removed.
      {hist, 0, "set 1, off"},
      {hist, 1, "set 3, off"},
      {hist, 2, "off, set 4"},
      {hist, 3, "off, set 5"},
      {hist, 4, "off, set 6"},
      {hist, 5, "off, set 7"},
      {hist, 6, "off, set 8"},
      {hist, 7, "off, reset, mode only 1"},
  };
  for (const auto& [window, position, steps] : cases) {
    SCOPED_TRACE(WindowName(window) + " " + std::to_string(position));
    const std::optional<TrackAction> action = TrackActionFor(window, position);
    ASSERT_TRUE(action.has_value());
    EXPECT_EQ(Steps(*action), steps);
    const bool histogram = window == live || window == hist;
    EXPECT_EQ(action->hide_list_panel, histogram);
  }
}

TEST(TrackModesTest, SettingAModeShowsThatWindowsDescription) {
  for (GraphWindow window : kAllWindows) {
    for (int position = 0; position < 8; ++position) {
      SCOPED_TRACE(WindowName(window) + " " + std::to_string(position));
      const std::optional<TrackAction> action = TrackActionFor(window, position);
      ASSERT_TRUE(action.has_value());
      for (const TrackStep& step : action->steps) {
        if (step.kind != Kind::kSetMode) continue;
        EXPECT_EQ(step.text, TrackModeDescription(window, step.mode));
      }
    }
  }
}

TEST(TrackModesTest, HistogramResetKeepsTheDescription) {
  const TrackAction reset = *TrackActionFor(GraphWindow::kHistogram, 7);
  ASSERT_EQ(reset.steps.size(), 3u);
  EXPECT_EQ(reset.steps[2].kind, Kind::kSetModeOnly);
  EXPECT_EQ(reset.steps[2].mode, TrackMode::kNormal);
  EXPECT_EQ(reset.steps[2].text, "");
  // The real histogram's reset does not touch the mode at all.
  const TrackAction live_reset = *TrackActionFor(GraphWindow::kRealHistogram, 7);
  ASSERT_EQ(live_reset.steps.size(), 1u);
  EXPECT_EQ(live_reset.steps[0].kind, Kind::kResetAxes);
}

TEST(TrackModesTest, PositionsWithoutAnEntryHaveNoAction) {
  for (GraphWindow window : kAllWindows) {
    for (int position : {-1, -100, 8, 9, 1000}) {
      SCOPED_TRACE(WindowName(window) + " " + std::to_string(position));
      EXPECT_EQ(TrackActionFor(window, position), std::nullopt);
    }
  }
}

TEST(TrackModesTest, EnglishDescriptions) {
  using Case = std::tuple<TrackMode, std::string>;
  const std::vector<Case> cases = {
      {TrackMode::kNormal, "Normal mode"},
      {TrackMode::kDragCursor,
       "Drag the cursor with your mouse to get X (Count) and Y (dB) position."},
      {TrackMode::kPanXY,
       "Click anywhere on the plot area and drag to pan the graph both horizontally and "
       "vertically."},
      {TrackMode::kPanX, "Click anywhere on the plot area and drag to pan the graph horizontally."},
      {TrackMode::kPanY, "Click anywhere on the plot area and drag to pan the graph vertically."},
      {TrackMode::kZoomXY,
       "Select a region on the graph to zoom both horizontally and vertically."},
      {TrackMode::kZoomX, "Select a region on the graph to zoom horizontally."},
      {TrackMode::kZoomY, "Select a region on the graph to zoom vertically."},
  };
  for (GraphWindow window :
       {GraphWindow::kRealTimeGraph, GraphWindow::kPlot, GraphWindow::kRealHistogram}) {
    for (const auto& [mode, text] : cases) {
      SCOPED_TRACE(WindowName(window) + " " + std::to_string(static_cast<int>(mode)));
      EXPECT_EQ(TrackModeDescription(window, mode), text);
    }
  }
}

TEST(TrackModesTest, HistogramDescriptions) {
  // Written here as UTF-8 text so that a slip in the escapes of the code shows.
  using Case = std::tuple<TrackMode, std::string>;
  const std::vector<Case> cases = {
      {TrackMode::kNormal, "Normal mode"},
      {TrackMode::kDragCursor,
       "Drag the cursor with your mouse to get X (Count) and Y (dB) position."},
      {TrackMode::kPanXY,
       "Clique em alguma parte da 嫫ea de renderiza誽o e arraste para expandir o gr塻ico "
       "horizontal e verticalmente."},
      {TrackMode::kPanX,
       "Clique em alguma parte da 嫫ea de renderiza誽o e arraste para expandir o gr塻ico "
       "horizontalmente."},
      {TrackMode::kPanY,
       "Clique em alguma parte da 嫫ea de renderiza誽o e arraste para expandir o gr塻ico "
       "verticalmente."},
      {TrackMode::kZoomXY,
       "Selecione uma regi緌 do gr塻ico para aumentar o zoom horizontal e verticalmente."},
      {TrackMode::kZoomX, "Selecione uma regi緌 do gr塻ico para aumentar o zoom horizontalmente."},
      {TrackMode::kZoomY, "Selecione uma regi緌 do gr塻ico para aumentar o zoom verticalmente."},
  };
  for (const auto& [mode, text] : cases) {
    SCOPED_TRACE(static_cast<int>(mode));
    EXPECT_EQ(TrackModeDescription(GraphWindow::kHistogram, mode), text);
  }
}

TEST(TrackModesTest, HistogramZoomTextBytes) {
  const std::string text = TrackModeDescription(GraphWindow::kHistogram, TrackMode::kZoomX);
  // "Selecione uma regi" then U+7DCC, " do gr" then U+587B, then "ico".
  const std::string head = "Selecione uma regi";
  const std::vector<unsigned> expected = {0xE7, 0xB7, 0x8C, ' ',  'd', 'o', ' ', 'g',
                                          'r',  0xE5, 0xA1, 0xBB, 'i', 'c', 'o'};
  ASSERT_GE(text.size(), head.size() + expected.size());
  std::vector<unsigned> bytes;
  for (std::size_t i = head.size(); i < head.size() + expected.size(); ++i) {
    bytes.push_back(static_cast<unsigned char>(text[i]));
  }
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(bytes, expected);
}

}  // namespace
}  // namespace slm
