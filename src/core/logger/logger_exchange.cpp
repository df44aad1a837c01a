#include "logger/logger_exchange.h"

#include "link/meter.h"
#include "logger/meter_logger.h"

namespace slm::logger_exchange {

void Write(MeterLink& link, const Bytes& bytes) {
  try {
    link.port().Output(bytes);
  } catch (const LinkError&) {
    throw PortLost();
  }
}

Bytes Take(MeterLink& link) {
  try {
    return link.ReadAll();
  } catch (const LinkError&) {
    throw PortLost();
  }
}

Bytes AddressCommand(char letter, std::uint16_t number) {
  return MakeBytes({letter, number % 256, number / 256});
}

void Quiet(MeterLink& link) {
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  double last_byte = 0;
  Bytes tail;
  while (!watch.Passed(kQuietLimit)) {
    rs232.Wait(kQuietSlice);
    const Bytes arrived = Take(link);
    const double now = watch.Elapsed();
    if (!arrived.empty()) {
      tail += arrived;
      if (tail.size() > kFrameLength) tail.erase(0, tail.size() - kFrameLength);
      last_byte = now;
      continue;
    }
    const double quiet = now - last_byte + 1e-6;
    if (quiet >= kQuietTime || (quiet >= kFrameQuiet && TailIsFrame(tail))) break;
  }
  Take(link);
}

}  // namespace slm::logger_exchange
