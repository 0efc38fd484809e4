// The frame timer: milliseconds since start-up from the counter or the millisecond clock.
#include "platform/timer.h"

#include "platform/platform.h"

FrameTimer frameTimer;

void timerInit() {
  frameTimer = FrameTimer{};
  if (platformCounterFrequency(&frameTimer.frequency)) {
    frameTimer.startCount = platformCounter();
    frameTimer.useCounter = true;
    frameTimer.secondsPerTick = 1.0 / static_cast<double>(frameTimer.frequency);
  } else {
    frameTimer.useCounter = false;
    frameTimer.startMs = platformMilliseconds();
    frameTimer.secondsPerTick = 0.001;
    frameTimer.frequency = 1000;
  }
}

double timerGetTime() {
  double ticks;
  if (frameTimer.useCounter) {
    ticks = static_cast<double>(platformCounter() - frameTimer.startCount);
  } else {
    // Unsigned difference: right across the clock's wrap at 2^32 ms.
    const uint32_t elapsed = platformMilliseconds() - frameTimer.startMs;
    ticks = static_cast<double>(elapsed);
  }
  return ticks * frameTimer.secondsPerTick * 1000.0;
}
