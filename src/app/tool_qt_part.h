#pragma once

// The part of slmtool that needs Qt Core and Qt SerialPort: the meter's
// commands and the loader of the drawing plugin. It is built as a library of
// its own and carried inside slmtool, which loads it only for a command that
// needs it: --version and the file commands start without any Qt library,
// and slmtool stays one file that can be copied anywhere.
#include <string>

#include "app/tool_draw.h"
#include "app/tool_shell.h"

namespace slm::tool {

struct QtPart {
  CommandFn live;
  CommandFn key;
  CommandFn record;
  CommandFn monitor;
  CommandFn memory;
  CommandFn download;
  CommandFn erase;
  CommandFn sampling;
  CommandFn clock;
  // The drawing plugin, as LoadDrawing says.
  ToolDrawing* (*drawing)(const std::string& command);
};

// The Qt part, loaded on the first call; when it cannot be loaded (a Qt
// library missing), says why as "slmtool COMMAND: ..." and returns nullptr.
const QtPart* LoadQtPart(const std::string& command);

}  // namespace slm::tool

// What the Qt part's library exports, its one symbol.
extern "C" const slm::tool::QtPart* SlmToolQtPart();
