#pragma once

namespace slm {

// Runs what is due (timers, paints) in the middle of a long job; the user's
// clicks and keys wait until it is done.
void KeepAlive();

}  // namespace slm
