#pragma once

#include "app/tool_shell.h"

namespace slm::tool {

// `slmtool assess FILE... -o OUT.pdf`: draws the assessment's report into
// OUT; says where it went, or on stderr why it could not (exit 1).
int WriteAssessReport(const AssessReportJob& job);

}  // namespace slm::tool
