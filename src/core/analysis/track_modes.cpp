#include "analysis/track_modes.h"

#include <utility>

namespace slm {

namespace {

using Kind = TrackStep::Kind;

// The four characters outside Latin-1 that the Histogram window's texts hold,
// as UTF-8 bytes. Each stands in its own literal so that a hex digit after it
// cannot run on into the escape.
#define SLM_U5AEB "\xe5\xab\xab"  // U+5AEB
#define SLM_U8ABD "\xe8\xaa\xbd"  // U+8ABD
#define SLM_U587B "\xe5\xa1\xbb"  // U+587B
#define SLM_U7DCC "\xe7\xb7\x8c"  // U+7DCC

constexpr const char* kNormalText = "Normal mode";
constexpr const char* kDragCursorText =
    "Drag the cursor with your mouse to get X (Count) and Y (dB) position.";

std::string EnglishDescription(TrackMode mode) {
  switch (mode) {
    case TrackMode::kNormal:
      return kNormalText;
    case TrackMode::kDragCursor:
      return kDragCursorText;
    case TrackMode::kPanXY:
      return "Click anywhere on the plot area and drag to pan the graph both horizontally and "
             "vertically.";
    case TrackMode::kPanX:
      return "Click anywhere on the plot area and drag to pan the graph horizontally.";
    case TrackMode::kPanY:
      return "Click anywhere on the plot area and drag to pan the graph vertically.";
    case TrackMode::kZoomXY:
      return "Select a region on the graph to zoom both horizontally and vertically.";
    case TrackMode::kZoomX:
      return "Select a region on the graph to zoom horizontally.";
    case TrackMode::kZoomY:
      return "Select a region on the graph to zoom vertically.";
  }
  return {};
}

std::string HistogramDescription(TrackMode mode) {
  switch (mode) {
    case TrackMode::kPanXY:
      return "Clique em alguma parte da " SLM_U5AEB "ea de renderiza" SLM_U8ABD
             "o e arraste para expandir o gr" SLM_U587B "ico horizontal e verticalmente.";
    case TrackMode::kPanX:
      return "Clique em alguma parte da " SLM_U5AEB "ea de renderiza" SLM_U8ABD
             "o e arraste para expandir o gr" SLM_U587B "ico horizontalmente.";
    case TrackMode::kPanY:
      return "Clique em alguma parte da " SLM_U5AEB "ea de renderiza" SLM_U8ABD
             "o e arraste para expandir o gr" SLM_U587B "ico verticalmente.";
    case TrackMode::kZoomXY:
      return "Selecione uma regi" SLM_U7DCC " do gr" SLM_U587B
             "ico para aumentar o zoom horizontal e verticalmente.";
    case TrackMode::kZoomX:
      return "Selecione uma regi" SLM_U7DCC " do gr" SLM_U587B
             "ico para aumentar o zoom horizontalmente.";
    case TrackMode::kZoomY:
      return "Selecione uma regi" SLM_U7DCC " do gr" SLM_U587B
             "ico para aumentar o zoom verticalmente.";
    case TrackMode::kNormal:
    case TrackMode::kDragCursor:
      break;
  }
  return EnglishDescription(mode);
}

#undef SLM_U5AEB
#undef SLM_U8ABD
#undef SLM_U587B
#undef SLM_U7DCC

TrackMode ModeOfCode(int code) { return static_cast<TrackMode>(code); }

// The steps in which the window builds each action.
class ActionBuilder {
 public:
  ActionBuilder(GraphWindow window, bool hide_list_panel) : window_(window) {
    action_.hide_list_panel = hide_list_panel;
  }

  ActionBuilder& SetMode(TrackMode mode) {
    action_.steps.push_back({Kind::kSetMode, mode, TrackModeDescription(window_, mode)});
    return *this;
  }
  ActionBuilder& SetModeOnly(TrackMode mode) {
    action_.steps.push_back({Kind::kSetModeOnly, mode, {}});
    return *this;
  }
  ActionBuilder& Step(Kind kind) {
    action_.steps.push_back({kind, TrackMode::kNormal, {}});
    return *this;
  }
  TrackAction Done() { return std::move(action_); }

 private:
  GraphWindow window_;
  TrackAction action_;
};

// Real Time Graph and Plot: the two differ only in whether choosing "Normal"
// takes the cursors away.
std::optional<TrackAction> TimeGraphAction(GraphWindow window, int position) {
  ActionBuilder b(window, false);
  switch (position) {
    case 0:
      b.SetMode(TrackMode::kNormal);
      if (window == GraphWindow::kPlot) b.Step(Kind::kRemoveCursors);
      return b.Done();
    case 1:
      return b.SetMode(TrackMode::kDragCursor).Step(Kind::kCursorToCentre).Done();
    case 2:
      return b.SetMode(TrackMode::kPanXY).Step(Kind::kRemoveCursors).Done();
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
      return b.Step(Kind::kRemoveCursors).SetMode(ModeOfCode(position + 1)).Done();
    default:
      return std::nullopt;
  }
}

std::optional<TrackAction> RealHistogramAction(int position) {
  ActionBuilder b(GraphWindow::kRealHistogram, true);
  switch (position) {
    case 0:
      return b.SetMode(TrackMode::kNormal).Step(Kind::kRemoveCursors).Done();
    case 1:
      return b.SetMode(TrackMode::kPanXY).Step(Kind::kRemoveCursors).Done();
    case 2:
    case 3:
    case 4:
    case 5:
      return b.Step(Kind::kRemoveCursors).SetMode(ModeOfCode(position + 2)).Done();
    case 6:
      return b.SetMode(TrackMode::kZoomY).Done();
    case 7:
      return b.Step(Kind::kResetAxes).Done();
    default:
      return std::nullopt;
  }
}

std::optional<TrackAction> HistogramAction(int position) {
  ActionBuilder b(GraphWindow::kHistogram, true);
  switch (position) {
    case 0:
      return b.SetMode(TrackMode::kNormal).Step(Kind::kCursorsOff).Done();
    case 1:
      return b.SetMode(TrackMode::kPanXY).Step(Kind::kCursorsOff).Done();
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
      return b.Step(Kind::kCursorsOff).SetMode(ModeOfCode(position + 2)).Done();
    case 7:
      return b.Step(Kind::kCursorsOff)
          .Step(Kind::kResetAxes)
          .SetModeOnly(TrackMode::kNormal)
          .Done();
    default:
      return std::nullopt;
  }
}

}  // namespace

const std::vector<std::string>& TrackModeList(GraphWindow window) {
  static const std::vector<std::string> kTimeGraph = {
      "Normal", "Cursor Coordinates", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY"};
  static const std::vector<std::string> kRealHistogram = {
      "Normal", "PanXY", "PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY", "Reset Scale"};
  static const std::vector<std::string> kHistogram = {"Normal", "PanXY", "PanX",  "PanY",
                                                      "ZoomXY", "ZoomX", "ZoomY", "Reset"};
  switch (window) {
    case GraphWindow::kRealTimeGraph:
    case GraphWindow::kPlot:
      return kTimeGraph;
    case GraphWindow::kRealHistogram:
      return kRealHistogram;
    case GraphWindow::kHistogram:
      return kHistogram;
  }
  return kTimeGraph;
}

std::optional<TrackAction> TrackActionFor(GraphWindow window, int position) {
  switch (window) {
    case GraphWindow::kRealTimeGraph:
    case GraphWindow::kPlot:
      return TimeGraphAction(window, position);
    case GraphWindow::kRealHistogram:
      return RealHistogramAction(position);
    case GraphWindow::kHistogram:
      return HistogramAction(position);
  }
  return std::nullopt;
}

std::string TrackModeDescription(GraphWindow window, TrackMode mode) {
  return window == GraphWindow::kHistogram ? HistogramDescription(mode) : EnglishDescription(mode);
}

}  // namespace slm
