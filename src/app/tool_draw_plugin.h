#pragma once

// The drawing plugin's face to Qt's plugin loader.
#include <QObject>
#include <QtPlugin>

#include "app/tool_draw.h"

// The interface's id names the program's version: the jobs handed over are
// laid out as this build lays them out, so a plugin of another build is
// refused rather than misread.
#define SLM_TOOL_DRAWING_IID "org.slmpanel.slmtool.ToolDrawing/" SLM_PROGRAM_VERSION
Q_DECLARE_INTERFACE(slm::tool::ToolDrawing, SLM_TOOL_DRAWING_IID)

namespace slm::tool {

// The plugin's work, one function a command.
int DrawPlot(const PlotJob& job, const DataFile& file);
int DrawReportPdf(const ListReport& report, const std::string& output);
// `slmtool assess FILE... -o OUT.pdf`: draws the assessment's report into
// OUT; says where it went, or on stderr why it could not (exit 1).
int WriteAssessReport(const AssessReportJob& job);

}  // namespace slm::tool
