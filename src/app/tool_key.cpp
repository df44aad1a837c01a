#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/tool_meter.h"
#include "base/number_text.h"

namespace slm::tool {

namespace {

constexpr int kFirstKey = 1;
constexpr int kLastKey = 10;

constexpr const char* kKeyCodes =
    "the key CODE is one of 1 A/C, 2 Fast/Slow/Imp, 3 Leq/SEL/SPL, 4 Max/Min/Inst, "
    "5 Run/Pause/Stop, 6 Record/Erase, 7 Date/Time, 8 integration time, 9 range up, "
    "10 range down";

// The key code of the command line, or a usage error that lists the codes.
int KeyCode(const std::vector<std::string>& positional) {
  if (positional.size() != 1) {
    throw std::runtime_error("key takes one CODE; " + std::string(kKeyCodes));
  }
  const std::optional<long long> code = ParseInteger(positional[0]);
  if (!code || *code < kFirstKey || *code > kLastKey) {
    throw std::runtime_error("\"" + positional[0] + "\" is not a key; " + kKeyCodes);
  }
  return static_cast<int>(*code);
}

}  // namespace

int RunKey(const std::vector<std::string>& args) {
  const Options options(args, {"--port"}, {});
  const int code = KeyCode(options.positional());
  ToolApplication app;

  ToolLink tool(options.Get("--port"));
  if (int rc = tool.OpenOrExplain(); rc != 0) return rc;
  try {
    tool.link().PressKey(code);
    // Let the command leave before the port closes.
    tool.rs232().Wait(0.05);
  } catch (const LinkError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::printf("key %d sent on %s\n", code, tool.Describe().c_str());
  return 0;
}

}  // namespace slm::tool
