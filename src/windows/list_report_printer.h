#pragma once

#include <functional>

#include "ui/dialogs.h"
#include "ui/printing.h"
#include "windows/record_list_window.h"

namespace slm {

// "Print" of a list window: asks for the printer and the records per line,
// then prints the window's list as a text report, each copy in full, with the
// progress in the window's caption. `keep_alive` runs at every step of the
// long job, so that sampling goes on meanwhile.
void PrintListReport(RecordListWindow& window, Dialogs& dialogs, Printing& printing,
                     const std::function<void()>& keep_alive);

}  // namespace slm
