#pragma once

#include <optional>
#include <string>
#include <vector>

// How the mouse acts on the graph windows, and what each entry of their
// track-mode lists does. The windows only carry the steps out.
namespace slm {

// The graph's mouse modes, with the program's own codes 1 to 8.
enum class TrackMode {
  kNormal = 1,      // the mouse does not change the view
  kDragCursor = 2,  // dragging moves cursor 1; every move is reported
  kPanXY = 3,
  kPanX = 4,
  kPanY = 5,
  kZoomXY = 6,  // drag a rectangle: both ranges become its extent
  kZoomX = 7,
  kZoomY = 8,
};

// The four windows that show a graph with a track-mode list.
enum class GraphWindow { kRealTimeGraph, kPlot, kRealHistogram, kHistogram };

// One step of a list entry's action, in the order given.
struct TrackStep {
  enum class Kind {
    kSetMode,         // set `mode` and show `text` as the description
    kSetModeOnly,     // set `mode`; the description stays as it is
    kRemoveCursors,   // remove all cursors, if the graph has any
    kCursorsOff,      // switch cursors 1 and 2 off
    kCursorToCentre,  // add a red cursor if there is none; cursor 1 to the
                      // centre of the current view
    kResetAxes,       // restore the axes as the window's reset does
  };
  Kind kind;
  TrackMode mode = TrackMode::kNormal;
  std::string text;  // UTF-8
};

struct TrackAction {
  std::vector<TrackStep> steps;
  bool hide_list_panel = false;  // the histograms hide the panel holding the list
};

inline constexpr const char* kSelectValidTrackMode = "Select a valid TrackMode.";

// The entries of the window's list, from position 0.
const std::vector<std::string>& TrackModeList(GraphWindow window);

// What choosing `position` does; nothing for a position without an action
// (the window then says kSelectValidTrackMode).
std::optional<TrackAction> TrackActionFor(GraphWindow window, int position);

// The description of `mode` as `window` shows it (UTF-8: the Histogram
// window's texts hold characters outside Latin-1).
std::string TrackModeDescription(GraphWindow window, TrackMode mode);

}  // namespace slm
