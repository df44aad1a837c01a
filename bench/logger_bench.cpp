// Decoding a full download into the list the logger window shows: a set of
// 10000 records, every record and every tenth (budget: 50 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "logger/meter_logger.h"

namespace {

// A reply laid out as the meter sends it: the header, then 38 bytes a record.
slm::Bytes SetReplyOf(int records) {
  slm::Bytes reply(363, ' ');
  reply.replace(19, 1, "1");
  reply.replace(115, 19, "2024/05/01 10:00:00");
  std::string line(38, ' ');
  line.replace(8, 19, "2024/05/01 10:00:00");
  line.replace(33, 5, " dB\r\n");
  for (int i = 0; i < records; ++i) {
    line.replace(0, 7, i % 50 == 0 ? "[pause]" : "       ");
    line.replace(28, 5, i % 2 ? "065.3" : "071.0");
    reply += line;
  }
  return reply;
}

void BM_DecodeSetReply(benchmark::State& state) {
  const slm::Bytes reply = SetReplyOf(10000);
  const int step = static_cast<int>(state.range(0));
  for (auto _ : state) {
    slm::DownloadedSet set = slm::DecodeSetReply(reply, 10000, step);
    benchmark::DoNotOptimize(set.list.size());
  }
}
BENCHMARK(BM_DecodeSetReply)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
