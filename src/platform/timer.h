// Milliseconds since start-up, for the frame-rate read-out. Prefers the
// high-resolution counter and falls back to the wrapping millisecond clock.
#pragma once

#include <cstdint>

struct FrameTimer {
  int64_t frequency = 0;      // counts per second (1000 in the fallback)
  double secondsPerTick = 0;  // 1 / frequency
  uint32_t startMs = 0;       // millisecond clock at start (fallback only)
  bool useCounter = false;
  int64_t startCount = 0;  // counter at start (counter only)
};
extern FrameTimer frameTimer;

void timerInit();
double timerGetTime();
