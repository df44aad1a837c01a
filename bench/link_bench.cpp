// How much a live tick costs the processor beyond its waits: the frame search
// over what the port buffered and the decoding into the Reading.
#include <benchmark/benchmark.h>

#include "link/meter.h"
#include "live/reading.h"

namespace {

void BM_DecodeFrame(benchmark::State& state) {
  slm::Reading reading;
  int word = 0;
  for (auto _ : state) {
    slm::DecodeFrame(reading, word & 7, word & 0xFF, (word >> 8) & 0xFF, word & 0xFF);
    benchmark::DoNotOptimize(reading.level_text);
    word = (word + 7) & 0xFFFF;
  }
}
BENCHMARK(BM_DecodeFrame);

void BM_FrameTailOfBufferedInput(benchmark::State& state) {
  // A second of a fast meter's stream piled up in the buffer.
  slm::Bytes input;
  for (int i = 0; i < 640; ++i) input += slm::MakeBytes({2, 0, 0, 2, 141, 3});
  for (auto _ : state) {
    const bool ok = slm::TailIsFrame(input) && !slm::TailIsAcknowledgement(input);
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_FrameTailOfBufferedInput);

}  // namespace
