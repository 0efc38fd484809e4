// Holds the main loop to at most 60 presented frames per second: the game's
// simulation advances once per frame, so an unthrottled loop would run the
// game as fast as the machine can draw.
#pragma once

#include <cstdint>

class FramePacer {
 public:
  static constexpr double kFramesPerSecond = 60.0;
  // Waits until a 60th of a second has passed since the previous call
  // returned: a sleep for the bulk, then a short spin for precision.
  void wait();

 private:
  int64_t last_ = 0;
  bool started_ = false;
};
