// The program's life on SDL2: the full-screen question, the game window, the
// main loop (one event per pass, a frame whenever the queue is empty) and the
// teardown.
#pragma once

#include <cstdint>

#include "platform/pacer.h"

// Running totals of what the main loop did; they only ever count up.
struct LoopCounters {
  uint64_t passes = 0;
  uint64_t events = 0;  // events taken from the queue
  uint64_t frames = 0;  // runFrame calls
  uint64_t swaps = 0;   // presented back buffers
};
extern LoopCounters loopCounters;

// One pass of the main loop: handles one queued event, or, with the queue
// empty, runs a frame (while active), presents it, waits for the pacer and
// applies the keyboard. Returns false when the loop is done.
bool mainLoopPass(FramePacer* pacer);

// Runs passes until the loop is done.
void runMainLoop();

// The whole program: asks about full screen, opens the window, runs the loop
// and closes the window. Returns the process exit code.
int runShooter();
