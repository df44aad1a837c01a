// The meter's data logger from a shell: its memory, the download of a stored
// set, erasing, the logger's sampling time and the meter's clock.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/tool_meter.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "files/list_summary.h"
#include "files/record_text.h"
#include "link/meter.h"
#include "live/reading.h"
#include "logger/meter_logger.h"
#include "qt/stop_signal_notifier.h"

namespace slm::tool {

namespace {

constexpr int kLowestStep = 1;
constexpr int kHighestStep = 255;
constexpr int kShortestSampling = 1;
constexpr int kLongestSampling = 255;
// The meter's clock read back after setting it is this close to the PC's, in
// seconds, when the meter took it.
constexpr long long kClockTolerance = 2;
// A live frame is looked for this long before the meter's memory is read.
constexpr double kFrameSearch = 1.0;
// The download's progress is shown at most this often.
constexpr auto kProgressEvery = std::chrono::milliseconds(250);

// Opens the port of --port and runs `work` on it. A meter that does not answer
// makes the command print why and return 1. With `on_stop`, a stop signal
// (SIGINT, SIGTERM, SIGHUP) calls it from the event loop that the meter's
// waits run, instead of ending the command.
int WithMeter(const Options& options, const std::function<void()>& on_stop,
              const std::function<int(MeterLink&)>& work) {
  ToolApplication app;
  std::optional<StopSignalNotifier> stop_signals;
  if (on_stop) stop_signals.emplace([on_stop](int) { on_stop(); });
  ToolLink tool(options.Get("--port"));
  if (int rc = tool.OpenOrExplain(); rc != 0) return rc;
  try {
    const int rc = work(tool.link());
    // Let the last command leave before the port closes.
    tool.rs232().Wait(0.05);
    return rc;
  } catch (const LinkError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

int WithMeter(const Options& options, const std::function<int(MeterLink&)>& work) {
  return WithMeter(options, {}, work);
}

// The set position of --set: 1 or more.
int SetPosition(const Options& options) {
  if (!options.Has("--set")) throw std::runtime_error("--set P is required");
  const std::optional<long long> value = ParseInteger(options.Get("--set"));
  if (!value || *value < 1 || *value > 65535) {
    throw std::runtime_error(
        "--set takes the position of a set as memory lists it (1 for the "
        "first), not \"" +
        options.Get("--set") + "\"");
  }
  return static_cast<int>(*value);
}

// The newest live frame among what the meter sends for up to a second,
// passing over noise between frames; nothing when none came.
std::optional<Bytes> NewestFrame(MeterLink& link) {
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  Bytes seen;
  try {
    link.Flush();
    while (!watch.Passed(kFrameSearch)) {
      rs232.Wait(0.02);
      seen += link.ReadAll();
      for (std::size_t end = seen.size(); end >= kFrameLength; --end) {
        const Bytes frame = seen.substr(end - kFrameLength, kFrameLength);
        if (TailIsFrame(frame) && !TailIsAcknowledgement(frame)) return frame;
      }
    }
  } catch (const LinkError&) {
    throw LinkError(kMeterLost);
  }
  return std::nullopt;
}

// The meter keeps its memory to itself while it measures; said as the panel
// says it.
bool SaidMeasuring(MeterLink& link) {
  const std::optional<Bytes> frame = NewestFrame(link);
  if (!frame) throw LinkError(kMeterDoesNotAnswer);
  Reading reading;
  DecodeModeByte(reading, ByteAt(*frame, 3));
  if (reading.run) std::fprintf(stderr, "%s\n", kStopTheMeterFirst);
  return reading.run;
}

// The meter's directory when it read whole and valid; otherwise nothing,
// and why on stderr followed by `nothing_done`.
std::optional<MemoryDirectory> WholeDirectory(MeterLink& link, const char* nothing_done) {
  MemoryDirectory directory = ReadMemoryDirectory(link);
  if (directory.valid()) return directory;
  std::fprintf(stderr, "%s\n%s\n", directory.problem.c_str(), nothing_done);
  return std::nullopt;
}

// The set at `position` of `directory`; nothing (and the reason on stderr)
// when it lists no such set.
std::optional<MemorySet> SetAt(const MemoryDirectory& directory, int position) {
  for (const MemorySet& set : directory.sets) {
    if (set.position == position) return set;
  }
  if (directory.sets.empty()) {
    std::fprintf(stderr, "There is no set at position %d: %s.\n", position, kNoDataInMemory);
  } else {
    std::fprintf(stderr, "There is no set at position %d: the meter's memory lists %zu set%s.\n",
                 position, directory.sets.size(), directory.sets.size() == 1 ? "" : "s");
  }
  return std::nullopt;
}

// The downloaded list as DataList shows it: its header values, then the grid.
void PrintList(const RecordList& list) {
  if (const std::optional<ResultLabel> second = SecondValueLabel(list.header())) {
    std::printf("%s\t%s\n", second->caption.c_str(), second->value.c_str());
  }
  for (const ResultLabel& label : ResultLabels(list.header())) {
    std::printf("%s\t%s\n", label.caption.c_str(), label.value.c_str());
  }
  std::printf("\n%.*s\t%.*s\t%.*s\n", static_cast<int>(kNumberTitle.size()), kNumberTitle.data(),
              static_cast<int>(kDateTimeTitle.size()), kDateTimeTitle.data(),
              static_cast<int>(kLevelTitle.size()), kLevelTitle.data());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const RecordView r = list.record(i);
    std::printf("%.*s\t%.*s\t%.*s\n", static_cast<int>(r.number.size()), r.number.data(),
                static_cast<int>(r.date_time.size()), r.date_time.data(),
                static_cast<int>(r.level.size()), r.level.data());
  }
}

// Progress lines on stderr: a few a second at most, none while nothing
// arrives, and always the last one.
DownloadProgressFn ProgressOnStderr() {
  using Clock = std::chrono::steady_clock;
  struct Shown {
    std::optional<Clock::time_point> when;
    std::size_t received = 0;
  };
  auto shown = std::make_shared<Shown>();
  return [shown](const DownloadProgress& progress) {
    const Clock::time_point now = Clock::now();
    if (shown->when && progress.received == shown->received) return;
    if (progress.received < progress.expected && shown->when &&
        now - *shown->when < kProgressEvery) {
      return;
    }
    *shown = {now, progress.received};
    std::fprintf(stderr, "%s\n", DownloadProgressCaption(progress).c_str());
  };
}

}  // namespace

int RunMemory(const std::vector<std::string>& args) {
  const Options options(args, {"--port"}, {});
  return WithMeter(options, [](MeterLink& link) {
    if (SaidMeasuring(link)) return 1;
    const MemoryDirectory directory = ReadMemoryDirectory(link);
    if (!directory.head_known()) {
      std::fprintf(stderr, "%s\n", directory.problem.c_str());
      return 1;
    }
    std::printf("Memory Size (MB)\t%s\n", MegabytesText(directory.size).c_str());
    std::printf("Remained (MB)\t%s\n", MegabytesText(directory.remaining).c_str());
    if (directory.announced == 0) std::printf("%s\n", kNoDataInMemory);
    for (const MemorySet& set : directory.sets) {
      std::printf("%d\t%u\t%s\t%d\n", set.position, static_cast<unsigned>(set.number),
                  set.start.c_str(), set.records);
    }
    if (directory.valid()) return 0;
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", directory.problem.c_str());
    return 1;
  });
}

int RunDownload(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--set", "--step", "--output"}, {});
  const int position = SetPosition(options);
  const int step = static_cast<int>(options.Whole("--step", 1, kLowestStep, kHighestStep));
  const std::string output = options.Get("--output");
  if (options.Has("--output") && output.empty()) throw std::runtime_error("-o needs a FILE");
  // A stop signal never kills the tool half-way: the download ends at once
  // and what arrived is kept.
  bool stopped = false;
  const auto stop = [&] { stopped = true; };
  return WithMeter(options, stop, [&](MeterLink& link) {
    if (SaidMeasuring(link)) return 1;
    const std::optional<MemoryDirectory> directory =
        WholeDirectory(link, "Nothing was downloaded.");
    if (!directory) return 1;
    const std::optional<MemorySet> set = SetAt(*directory, position);
    if (!set) return 1;
    DownloadHooks hooks;
    hooks.progress = ProgressOnStderr();
    hooks.stop_requested = [&] { return stopped; };
    const SetReply reply = DownloadSet(link, set->number, set->records, hooks);
    const DownloadedSet downloaded = DecodeSetReply(reply.bytes, set->records, step);
    PrintList(downloaded.list);
    std::fflush(stdout);
    const DownloadOutcome outcome = JudgeDownload(reply, downloaded);
    for (const std::string& line : outcome.lines) std::fprintf(stderr, "%s\n", line.c_str());
    const int rc = outcome.whole ? 0 : 1;
    if (!output.empty()) {
      try {
        SaveRecordList(output, downloaded.list,
                       IsCsvPath(output) ? Separator::kComma : Separator::kTab);
      } catch (const DataFileError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
      }
      const std::string& note = downloaded.list.header().note;
      std::fprintf(stderr, "%zu records written to %s%s\n", downloaded.list.size(), output.c_str(),
                   note.empty() ? "" : (", marked " + note).c_str());
    }
    return rc;
  });
}

int RunErase(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--set", "--start"}, {"--all", "--yes"});
  const bool all = options.Has("--all");
  if (all == options.Has("--set")) throw std::runtime_error("erase takes --set P or --all");
  const int position = all ? 0 : SetPosition(options);
  std::optional<std::int64_t> start;
  if (options.Has("--start")) {
    if (all) throw std::runtime_error("--start goes with --set P, not with --all");
    start = SetStartTime(options.Get("--start"));
    if (!start) {
      throw std::runtime_error(
          "--start takes the set's start as memory lists it (\"2024/05/01 10:00:00\"), not \"" +
          options.Get("--start") + "\"");
    }
  }
  const std::string what =
      all ? "every set in the meter's memory" : "the set at position " + std::to_string(position);
  if (!options.Has("--yes")) {
    std::fprintf(stderr, "Nothing was erased: this would erase %s. Add --yes to erase it.\n",
                 what.c_str());
    return 2;
  }
  const std::string port = options.Get("--port");
  return WithMeter(options, [&](MeterLink& link) {
    const std::optional<MemoryDirectory> directory = WholeDirectory(link, "Nothing was erased.");
    if (!directory) return 1;
    if (all && directory->sets.empty()) {
      std::printf("%s: nothing was erased.\n", kNoDataInMemory);
      return 0;
    }
    // The positions move up when a set goes: --start makes sure that the set
    // at this position is still the one the user means.
    if (start) {
      if (const std::string other = OtherSetAtPosition(*directory, position, *start);
          !other.empty()) {
        std::fprintf(stderr, "%s\n", other.c_str());
        return 1;
      }
    }
    const std::optional<MemorySet> set = all ? std::nullopt : SetAt(*directory, position);
    if (!all && !set) return 1;
    // Neither erase command gets a reply: the directory read afterwards says
    // what is really gone.
    const EraseResult result = EraseAndConfirm(link, *directory, position);
    std::fprintf(result.confirmed ? stdout : stderr, "%s\n", result.message.c_str());
    if (result.unknown) {
      std::fprintf(stderr, "Before you try again, list the memory:\n  slmtool memory --port %s\n",
                   port.c_str());
      if (set) {
        std::fprintf(stderr,
                     "then erase the set by the position it lists and its start:\n  slmtool "
                     "erase --port %s --set P --start \"%s\" --yes\n",
                     port.c_str(), set->start.c_str());
      }
    }
    return result.confirmed ? 0 : 1;
  });
}

int RunSampling(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--set"}, {});
  std::optional<int> seconds;
  if (options.Has("--set")) {
    seconds = WholeSecondsAnswer(options.Get("--set"), kShortestSampling, kLongestSampling);
    if (!seconds) {
      throw std::runtime_error(
          "--set takes the sampling time in seconds (" + std::to_string(kShortestSampling) +
          " to " + std::to_string(kLongestSampling) + "), not \"" + options.Get("--set") + "\"");
    }
  }
  return WithMeter(options, [&](MeterLink& link) {
    if (seconds) {
      SetSamplingTime(link, *seconds);
      // "C" gets no reply: the time read back shows that the meter took it.
      const int now = ReadSamplingTime(link);
      if (now != *seconds) {
        std::fprintf(stderr, "The meter kept a sampling time of %d s instead of %d s.\n", now,
                     *seconds);
        return 1;
      }
      std::printf("Sampling time set to %d s\n", now);
    } else {
      std::printf("Sampling time (s)\t%d\n", ReadSamplingTime(link));
    }
    return 0;
  });
}

int RunClock(const std::vector<std::string>& args) {
  const Options options(args, {"--port"}, {"--set"});
  const bool set = options.Has("--set");
  return WithMeter(options, [&](MeterLink& link) {
    if (set) {
      const DateTime now = PcDateTime();
      SetMeterClock(link, now);
      std::printf("sent\t%s\n", PcDateTimeText(now).c_str());
      // "B" gets no reply: the clock read back shows that the meter took it.
      const std::string meter = ReadMeterClock(link);
      std::printf("meter\t%s\n", meter.c_str());
      const std::optional<long long> apart = ClockDifference(meter, PcDateTime());
      if (!apart || *apart < -kClockTolerance || *apart > kClockTolerance) {
        std::fflush(stdout);
        std::fprintf(stderr, "The meter's clock was not set: it reads %s.\n", meter.c_str());
        return 1;
      }
      return 0;
    }
    const std::string meter = ReadMeterClock(link);
    std::printf("meter\t%s\n", meter.c_str());
    std::printf("pc\t%s\n", PcDateTimeText(PcDateTime()).c_str());
    return 0;
  });
}

}  // namespace slm::tool
