#pragma once

#include <QPrinter>
#include <QWidget>

#include "graph/graph.h"
#include "ui/dialogs.h"
#include "ui/printing.h"

namespace slm {

// Window sizes are kept in twips (1/1440 inch); windows are laid out at 96
// pixels an inch.
constexpr int Pixels(int twips) { return twips / 15; }

// The driver note shown before a graph window is printed.
extern const char* const kPrinterDriverNote;

// How a graph window looks on paper, and afterwards on the screen.
struct PaperLayout {
  bool note_and_copies = false;  // the driver note, then the dialog's copies
  bool empty_y_caption = false;
  int width = 0;  // pixels; 0 keeps the window's size
  int height = 0;
  int margin = 0;        // the graph's distance from the page's corner
  int screen_width = 0;  // the window's size afterwards; 0: as it was
  int screen_height = 0;
};

// Prints `window`'s image on `printer`: its `controls` hidden, the graph on
// white (and without its Y caption where the layout says so), once per copy;
// then the window as it was. Returns false when the printer could not start.
bool PrintGraphImage(QWidget& window, Graph& graph, QWidget& controls, QPagedPaintDevice& printer,
                     const PaperLayout& paper, int copies);

// The whole "Print" of a graph window: the printer dialog (a cancel changes
// nothing), the driver note and the copies where the layout says so, then
// the image.
void PrintGraphWindow(QWidget& window, Graph& graph, QWidget& controls, const PaperLayout& paper,
                      Dialogs& dialogs, Printing& printing);

}  // namespace slm
