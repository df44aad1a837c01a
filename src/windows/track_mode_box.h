#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <functional>

#include "analysis/track_modes.h"
#include "graph/graph.h"
#include "ui/dialogs.h"

namespace slm {

// The track-mode list of a graph window and its description: choosing an
// entry carries out that window's action on the graph.
class TrackModeBox : public QGroupBox {
 public:
  TrackModeBox(GraphWindow window, Graph& graph, Dialogs& dialogs, QWidget* parent = nullptr);

  // Runs the action of list position `position` (also what a click does).
  void Choose(int position);
  // Back to "Normal" without running an entry's action (before printing).
  void SetNormal();

  // The window's own reset of the axes, for the entries that ask for it.
  std::function<void()> on_reset_axes;
  // After an entry that hides the panel the list sits on.
  std::function<void()> on_hide_list;

  QComboBox* Combo1 = nullptr;
  QLabel* txtDescription = nullptr;  // wrapped: the longest texts take two lines

 private:
  void Run(const TrackStep& step);

  GraphWindow window_;
  Graph& graph_;
  Dialogs& dialogs_;
};

}  // namespace slm
