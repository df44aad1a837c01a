#include "live/live_acquisition.h"

#include "base/flag_guard.h"
#include "link/meter.h"
#include "link/serial_port.h"

namespace slm {

TickResult LiveAcquisition::Tick() {
  // A tick waits inside itself, so the timer can fire again meanwhile; and a
  // key's handshake must not have its acknowledgement flushed away.
  if (running_ || link_.Busy()) return TickResult::kSkipped;
  FlagGuard running(running_);
  // A click waits for the tick: a dialog it opened inside the tick's wait
  // would hold the live readings, and with them the sampling, until closed.
  const Rs232::UserInputHeld quiet(link_.rs232());

  try {
    if (link_.Lost()) return link_.RecoverLink() ? TickResult::kRestored : TickResult::kLost;
    const auto frame = link_.ReadLiveFrame();
    if (!frame) return link_.RecoverLink() ? TickResult::kRestored : TickResult::kLost;
    DecodeFrame(reading_, ByteAt(*frame, 2), ByteAt(*frame, 3), ByteAt(*frame, 4),
                ByteAt(*frame, 5));
    return TickResult::kFrame;
  } catch (const LinkError&) {
    // The port itself failed (an adapter pulled out): the meter is as lost
    // as a silent one, and the recovery opens the port again on every try.
    return link_.RecoverLink() ? TickResult::kRestored : TickResult::kLost;
  }
}

}  // namespace slm
