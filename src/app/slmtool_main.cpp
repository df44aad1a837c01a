// slmtool: the program's work from a shell, and the meter emulator. It runs
// the commands that need only the core itself; the meter's commands load its
// Qt part (Qt Core and SerialPort) and the drawing commands the drawing
// plugin, so that a command loads no library it does not use.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/tool_draw.h"
#include "app/tool_qt_part.h"
#include "app/tool_shell.h"
#include "base/version.h"

namespace {

constexpr const char* kUsageHead =
    "usage: slmtool COMMAND [OPTIONS]\n"
    "       slmtool --version\n"
    "\n"
    "commands:\n";
constexpr const char* kUsageFoot =
    "\n"
    "NAME is COM1..COM16 or a device path such as /dev/ttyUSB0 or /dev/pts/3.\n";

using slm::tool::QtPart;

// Each command once: its usage, and its function here or in the Qt part.
struct Command {
  std::string_view name;
  std::string_view usage;  // its lines in --help
  slm::tool::CommandFn run = nullptr;
  slm::tool::CommandFn QtPart::*qt_run = nullptr;
};

constexpr Command kCommands[] = {
    {"emulate",
     "  emulate [--rate HZ] [--level DB | --levels FILE | --walk START:STEP] [--marker]\n"
     "          [--stopped] [--range CODE] [--sets FILE] [--log FILE] [--fault FAULT]...\n"
     "          [--link LINK]\n"
     "      Serves a simulated meter on a new pseudo-terminal; prints 'device: PATH'.\n"
     "      --link makes LINK a symbolic link to that device while the emulator runs.\n"
     "      FAULT: silence[:START:LENGTH] (seconds), garbage[:N], short-replies[:N], no-ack,\n"
     "      longer[:N], garbage-replies, ignore:LETTERS, slow:BPS, bursts:BYTES:SECONDS,\n"
     "      slow-start:SECONDS, vanish:BYTES, freeze-after:LETTERS[:SECONDS]\n",
     slm::tool::RunEmulate},
    {"live",
     "  live --port NAME [--count N]\n"
     "      Prints the meter's reading every 200 ms (N lines, default: until interrupted).\n",
     nullptr, &QtPart::live},
    {"key",
     "  key --port NAME CODE\n"
     "      Presses the meter key CODE (1..10) after the attention handshake.\n",
     nullptr, &QtPart::key},
    {"info",
     "  info FILE\n"
     "      Prints a data file's kind, the window it opens in, its header values and\n"
     "      record count.\n",
     slm::tool::RunInfo},
    {"convert",
     "  convert FILE -o OUT\n"
     "      Saves the list of FILE to OUT as the program saves it: CSV when OUT ends\n"
     "      in .csv, else a tab-separated data file.\n",
     slm::tool::RunConvert},
    {"stats",
     "  stats FILE [--resolution 0.1|1]\n"
     "      Prints the record count, the class range and the percentiles L0..L99 of\n"
     "      FILE's list as its window's 0.1 dB (default) or 1 dB button computes them.\n",
     slm::tool::RunStats},
    {"record",
     "  record --port NAME --period S --count N -o FILE [--give-up S]\n"
     "      Records N samples of the meter's level, one every S seconds, into FILE\n"
     "      as the panel does (CSV when FILE ends in .csv); past 348000 samples into\n"
     "      FILE-2, FILE-3... A lost meter is waited for (a gap in the recording),\n"
     "      or after --give-up S seconds ends it.\n",
     nullptr, &QtPart::record},
    {"monitor",
     "  monitor --port NAME --dir DIR [--period S] [--interval S] [--windows S,S,...]\n"
     "          [--periods D,E,N] [--threshold DB [--min-duration S] [--hold S]]\n"
     "          [--listen ADDR:PORT] [--reserve MB] [--flush S] [--config FILE]\n"
     "      A station that runs until stopped: samples into DIR/YYYY-MM-DD.dlgr (a new\n"
     "      file each day; -2, -3... after a restart), logs to DIR/monitor.log, writes\n"
     "      events to DIR/events.csv, keeps the alarms of FILE's [alarm NAME] sections\n"
     "      and with --listen serves /metrics to Prometheus (127.0.0.1:9753).\n",
     nullptr, &QtPart::monitor},
    {"report",
     "  report FILE [--per N] [-o OUT.pdf]\n"
     "      Prints the list report of FILE, N records (1..5, default 1) to a line, on\n"
     "      standard output or into a PDF file.\n",
     slm::tool::RunReport},
    {"plot",
     "  plot FILE [--time] -o OUT\n"
     "      Draws the levels of FILE with their Pause and Start marks as the Plot\n"
     "      window shows them, into OUT: PDF, PNG or SVG by its extension.\n",
     slm::tool::RunPlot},
    {"assess",
     "  assess FILE... [--interval S] [--periods D,E,N] [--percentiles N,...]\n"
     "         [--threshold DB [--min-duration S] [--hold S]] [--rolling S]\n"
     "         [--rolling-coverage PERCENT] [--min-coverage PERCENT]\n"
     "         [--exclude FROM..TO]... [--no-exclusions] [--allow-mixed]\n"
     "         [--calibrator DB[,DB]] [--drift-limit DB] [--no-calibration]\n"
     "         [--survey SURVEY | --no-survey] [--all-events]\n"
     "         [--json | --csv [--table TABLE]] [-o OUT]\n"
     "      Assesses a long measurement, its files one at a time in time order:\n"
     "      totals, intervals of S seconds (default 3600), day/evening/night levels\n"
     "      and Lden, months and years, events at or above DB, the worst rolling Leq\n"
     "      over windows covered at least PERCENT (90), the calibration check at the\n"
     "      survey's ends. LN is the level exceeded for N % of the counted time; each\n"
     "      record weighs its own file's sample period; a part of a day covered less\n"
     "      than --min-coverage (75) has no level. Files of other weightings are\n"
     "      refused unless --allow-mixed. --csv writes one TABLE: intervals (the\n"
     "      default), days, months, years, events, exclusions, totals or calibration.\n"
     "      FROM and TO as \"yyyy/mm/dd hh:nn:ss\". Each FILE's side file\n"
     "      FILE.exclusions is applied unless --no-exclusions. The survey's\n"
     "      description is SURVEY, else the earliest FILE's side file NAME.survey when\n"
     "      there is one. -o OUT.pdf writes the report: a PDF document of the survey,\n"
     "      the figures, the time history and the tables; the events counted and the\n"
     "      ten loudest, all of them with --all-events.\n",
     slm::tool::RunAssess},
    {"memory",
     "  memory --port NAME\n"
     "      Prints the meter's memory size, what remains, and one line per stored set:\n"
     "      position, set number, start time, records.\n",
     nullptr, &QtPart::memory},
    {"download",
     "  download --port NAME --set P [--step K] [-o FILE]\n"
     "      Downloads the set at position P (as memory lists it) and prints its header\n"
     "      values and every K-th record (K 1..255, default 1); -o saves the list as\n"
     "      the program saves it (CSV when FILE ends in .csv).\n",
     nullptr, &QtPart::download},
    {"erase",
     "  erase --port NAME (--set P [--start TIME] | --all) --yes\n"
     "      Erases the set at position P, or every set in the meter's memory; with\n"
     "      --start only when the set at P started at TIME (as memory prints it).\n",
     nullptr, &QtPart::erase},
    {"sampling",
     "  sampling --port NAME [--set T]\n"
     "      Prints the data logger's sampling time in seconds, or sets it to T (1..255).\n",
     nullptr, &QtPart::sampling},
    {"clock",
     "  clock --port NAME [--set]\n"
     "      Prints the meter's clock beside the PC's, or sets the meter to the PC's time.\n",
     nullptr, &QtPart::clock},
};

void PrintUsage(std::FILE* to) {
  std::fputs(kUsageHead, to);
  for (const Command& c : kCommands) std::fwrite(c.usage.data(), 1, c.usage.size(), to);
  std::fputs(kUsageFoot, to);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(args.empty() ? stderr : stdout);
    return slm::tool::FinishOutput("help", args.empty() ? 2 : 0);
  }
  if (args[0] == "--version" || args[0] == "-v") {
    std::printf("slmtool %s\n", slm::kProgramVersion);
    return slm::tool::FinishOutput("--version", 0);
  }
  const std::string command = args[0];
  args.erase(args.begin());
  for (const Command& c : kCommands) {
    if (c.name != command) continue;
    if (c.run != nullptr) return slm::tool::RunCommand(command, c.run, args);
    const QtPart* part = slm::tool::LoadQtPart(command);
    if (part == nullptr) return 1;
    return slm::tool::RunCommand(command, part->*c.qt_run, args);
  }
  std::fprintf(stderr, "slmtool: unknown command '%s'\n\n", command.c_str());
  PrintUsage(stderr);
  return 2;
}
