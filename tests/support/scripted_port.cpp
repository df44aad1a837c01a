#include "support/scripted_port.h"

namespace slm::test {

void ScriptedPort::Arrive(int after_passes, const Bytes& bytes) {
  last_at_ += after_passes;
  chunks_.push_back({last_at_, bytes});
}

Bytes ScriptedPort::Input() {
  ++reads_;
  Bytes out;
  out.swap(buffer_);
  return out;
}

void ScriptedPort::ProcessEvents(double max_seconds) {
  ++passes_;
  now_ += max_seconds;
  while (!chunks_.empty() && chunks_.front().at_pass <= passes_) {
    buffer_ += chunks_.front().bytes;
    chunks_.pop_front();
  }
}

}  // namespace slm::test
