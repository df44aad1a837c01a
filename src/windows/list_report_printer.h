#pragma once

#include "ui/app_timers.h"
#include "ui/dialogs.h"
#include "ui/printing.h"
#include "windows/record_list_window.h"

namespace slm {

// "Print" of a list window: asks for the printer and the records per line,
// then prints the window's list as a text report, each copy in full, with the
// timers paused and the progress in the window's caption.
void PrintListReport(RecordListWindow& window, Dialogs& dialogs, Printing& printing,
                     AppTimers& timers);

}  // namespace slm
