// Holds a frame callback that the display drives (60, 120, 144 Hz ...) to at
// most 60 game frames per second: a callback that comes too early is skipped.
#pragma once

class FrameGate {
 public:
  static constexpr double kFramesPerSecond = 60.0;
  static constexpr double kPeriodMs = 1000.0 / kFramesPerSecond;
  // How early a callback may come and still count: displays jitter.
  static constexpr double kSlackMs = 3.0;
  // How far the schedule may lag behind a slow page (half a frame).
  static constexpr double kCatchUpMs = kPeriodMs / 2;

  // True when the callback at time `nowMs` should run a frame. The schedule
  // advances by whole periods, so a fast display gives exactly 60 frames a
  // second on average; a page slower than that gets a frame on every
  // callback, however unevenly they come; after a stall it does not race.
  bool admit(double nowMs);

 private:
  double due_ = 0;
  bool started_ = false;
};
