#pragma once

// The commands that draw. They run in the drawing companion, the one part of
// slmtool that loads the GUI libraries.
#include <string>
#include <vector>

#include "app/tool_qt_app.h"
#include "app/tool_shell.h"

namespace slm::tool {

int RunPlot(const std::vector<std::string>& args);
// `report` with -o OUT.pdf.
int RunReportPdf(const std::vector<std::string>& args);

}  // namespace slm::tool
