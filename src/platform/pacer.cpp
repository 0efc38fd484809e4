// The frame pacer: waits out the rest of each 60th of a second on the counter, or sleeps.
#include "platform/pacer.h"

#include "platform/platform.h"

void FramePacer::wait() {
  int64_t frequency = 0;
  if (!platformCounterFrequency(&frequency) || frequency <= 0) {
    platformSleep(1000.0 / kFramesPerSecond);
    return;
  }
  const int64_t period = static_cast<int64_t>(static_cast<double>(frequency) / kFramesPerSecond);
  const int64_t now = platformCounter();
  if (!started_ || now - last_ > 4 * period) {
    // First frame, or a long stall (window dragged, debugger): start afresh
    // instead of racing to catch up.
    started_ = true;
    last_ = now;
    return;
  }
  const int64_t due = last_ + period;
  const double spinMs = 2.0;
  for (;;) {
    const int64_t t = platformCounter();
    const int64_t left = due - t;
    if (left <= 0) break;
    const double leftMs = 1000.0 * static_cast<double>(left) / static_cast<double>(frequency);
    if (leftMs > spinMs) platformSleep(leftMs - spinMs);
  }
  last_ = due;
}
