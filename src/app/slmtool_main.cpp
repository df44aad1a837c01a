// slmtool: the program's work from a shell, and the meter emulator.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/tool_assess_report.h"
#include "app/tool_common.h"
#include "base/version.h"

namespace {

constexpr const char* kUsage =
    "usage: slmtool COMMAND [OPTIONS]\n"
    "       slmtool --version\n"
    "\n"
    "commands:\n"
    "  emulate [--rate HZ] [--level DB | --levels FILE | --walk START:STEP] [--marker]\n"
    "          [--stopped] [--range CODE] [--sets FILE] [--log FILE] [--fault FAULT]...\n"
    "      Serves a simulated meter on a new pseudo-terminal; prints 'device: PATH'.\n"
    "      FAULT: silence[:START:LENGTH] (seconds), garbage[:N], short-replies, no-ack,\n"
    "      longer[:N], garbage-replies, ignore:LETTERS, slow:BPS, bursts:BYTES:SECONDS,\n"
    "      slow-start:SECONDS, vanish:BYTES\n"
    "  live --port NAME [--count N]\n"
    "      Prints the meter's reading every 200 ms (N lines, default: until interrupted).\n"
    "  key --port NAME CODE\n"
    "      Presses the meter key CODE (1..10) after the attention handshake.\n"
    "  info FILE\n"
    "      Prints a data file's kind, the window it opens in, its header values and\n"
    "      record count.\n"
    "  convert FILE -o OUT\n"
    "      Saves the list of FILE to OUT as the program saves it: CSV when OUT ends\n"
    "      in .csv, else a tab-separated data file.\n"
    "  stats FILE [--resolution 0.1|1]\n"
    "      Prints the record count, the class range and the percentiles L0..L99 of\n"
    "      FILE's list as its window's 0.1 dB (default) or 1 dB button computes them.\n"
    "  record --port NAME --period S --count N -o FILE [--give-up S]\n"
    "      Records N samples of the meter's level, one every S seconds, into FILE\n"
    "      as the panel does (CSV when FILE ends in .csv); past 348000 samples into\n"
    "      FILE-2, FILE-3... A lost meter is waited for (a gap in the recording),\n"
    "      or after --give-up S seconds ends it.\n"
    "  report FILE [--per N] [-o OUT.pdf]\n"
    "      Prints the list report of FILE, N records (1..5, default 1) to a line, on\n"
    "      standard output or into a PDF file.\n"
    "  plot FILE [--time] -o OUT\n"
    "      Draws the levels of FILE with their Pause and Start marks as the Plot\n"
    "      window shows them, into OUT: PDF, PNG or SVG by its extension.\n"
    "  assess FILE... [--interval S] [--periods D,E,N] [--percentiles N,...]\n"
    "         [--threshold DB [--min-duration S] [--hold S]] [--rolling S]\n"
    "         [--exclude FROM..TO]... [--no-exclusions] [--json | --csv] [-o OUT]\n"
    "      Assesses a long measurement: totals, intervals of S seconds (default 3600),\n"
    "      day/evening/night levels and Lden, events at or above DB, the worst rolling\n"
    "      Leq; FROM and TO as \"yyyy/mm/dd hh:nn:ss\". Each FILE's side file\n"
    "      FILE.exclusions is applied unless --no-exclusions. -o OUT.pdf writes the\n"
    "      report: a PDF document of the figures, the time history and the tables.\n"
    "  memory --port NAME\n"
    "      Prints the meter's memory size, what remains, and one line per stored set:\n"
    "      position, set number, start time, records.\n"
    "  download --port NAME --set P [--step K] [-o FILE]\n"
    "      Downloads the set at position P (as memory lists it) and prints its header\n"
    "      values and every K-th record (K 1..255, default 1); -o saves the list as\n"
    "      the program saves it (CSV when FILE ends in .csv).\n"
    "  erase --port NAME (--set P | --all) --yes\n"
    "      Erases the set at position P, or every set in the meter's memory.\n"
    "  sampling --port NAME [--set T]\n"
    "      Prints the data logger's sampling time in seconds, or sets it to T (1..255).\n"
    "  clock --port NAME [--set]\n"
    "      Prints the meter's clock beside the PC's, or sets the meter to the PC's time.\n"
    "\n"
    "NAME is COM1..COM16 or a device path such as /dev/ttyUSB0 or /dev/pts/3.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version" || args[0] == "-v") {
    std::printf("slmtool %s\n", slm::kProgramVersion);
    return 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  try {
    if (command == "emulate") return slm::tool::RunEmulate(args);
    if (command == "live") return slm::tool::RunLive(args);
    if (command == "key") return slm::tool::RunKey(args);
    if (command == "info") return slm::tool::RunInfo(args);
    if (command == "convert") return slm::tool::RunConvert(args);
    if (command == "record") return slm::tool::RunRecord(args);
    if (command == "plot") return slm::tool::RunPlot(args);
    if (command == "stats") return slm::tool::RunStats(args);
    if (command == "report") return slm::tool::RunReport(args);
    if (command == "assess") return slm::tool::RunAssess(args, slm::tool::WriteAssessReport);
    if (command == "memory") return slm::tool::RunMemory(args);
    if (command == "download") return slm::tool::RunDownload(args);
    if (command == "erase") return slm::tool::RunErase(args);
    if (command == "sampling") return slm::tool::RunSampling(args);
    if (command == "clock") return slm::tool::RunClock(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "slmtool %s: %s\n", command.c_str(), e.what());
    return 2;
  }
  std::fprintf(stderr, "slmtool: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return 2;
}
