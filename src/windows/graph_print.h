#pragma once

#include <QPrinter>
#include <QWidget>

#include "graph/graph_faces.h"
#include "ui/dialogs.h"
#include "ui/printing.h"

namespace slm {

// Window sizes are kept in twips (1/1440 inch); windows are laid out at 96
// pixels an inch.
constexpr int Pixels(int twips) { return twips / 15; }

// The driver note shown before a graph window is printed.
extern const char* const kPrinterDriverNote;

// How a graph window prints.
struct PaperLayout {
  bool note_and_copies = false;  // the driver note, then the dialog's copies
};

// Prints `graph` with its title line and both axis captions, drawn as
// vectors on white across the page's width, once per copy, then shows it
// as it was. Returns false when the printer could not start.
bool PrintGraphPages(GraphPicture& graph, QPagedPaintDevice& printer, int copies);

// The whole "Print" of a graph window: the printer dialog (a cancel changes
// nothing; where there is no printer it offers a PDF file), the driver note
// and the copies where the layout says so, then the pages.
void PrintGraphWindow(QWidget& window, GraphPicture& graph, const PaperLayout& paper,
                      Dialogs& dialogs, Printing& printing);

}  // namespace slm
