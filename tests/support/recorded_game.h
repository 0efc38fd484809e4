// For tests that record or play a game: whatever way the test ends (a failed
// assertion returns at once), the game is live again afterwards, so that the
// program's later tests have their input neither recorded nor dropped.
#pragma once

#include "app/recording.h"

class LiveAfterRecordedGame {
 public:
  LiveAfterRecordedGame() = default;
  LiveAfterRecordedGame(const LiveAfterRecordedGame&) = delete;
  LiveAfterRecordedGame& operator=(const LiveAfterRecordedGame&) = delete;
  ~LiveAfterRecordedGame() { finishRecordedGame(); }  // nothing to do when live
};
