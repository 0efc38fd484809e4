#include "app/sdl/loop.h"

#include <SDL.h>

#include "platform/platform.h"
#include "app/sdl/events.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"

LoopCounters loopCounters;

bool mainLoopPass(FramePacer* pacer) {
  ++loopCounters.passes;
  SDL_Event event;
  if (SDL_PollEvent(&event)) {
    ++loopCounters.events;
    return handleEvent(event) != EventResult::Quit;
  }
  if (shell.active) {
    ++loopCounters.frames;
    if (!runFrame()) return false;
  }
  // Escape ends the game also while the window is minimised.
  if (input.KeyDown[vk::Escape]) return false;
  SDL_GL_SwapWindow(gameWindow);
  ++loopCounters.swaps;
  pacer->wait();
  keyboardStep();
  return true;
}

void runMainLoop() {
  FramePacer pacer;
  while (mainLoopPass(&pacer)) {
  }
}

int runShooter() {
  bool fullscreen = true;
  if (platformMessageBox("Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?",
                         "Start FullScreen?", kMbYesNo | kMbIconQuestion) == kIdNo) {
    fullscreen = false;
  }
  if (!openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, fullscreen)) {
    return 0;
  }
  runMainLoop();
  closeGameWindow();
  // Escape, a closed window and a finished game are all normal ends.
  return 0;
}
