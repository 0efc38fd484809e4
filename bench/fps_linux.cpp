// Presented frames per second of the main loop on the SDL shell, measured from
// outside the game: opens the game window (windowed), plays for a few seconds
// with the walk and turn keys held, and counts the loop's swaps. For contrast
// it then runs the same frame, swap and keyboard step without the pacer until
// the game ends or the time is up.
//
// Usage: fps_linux [seconds]   (default 5; needs an X server or SDL's
// offscreen driver, and the data files in the working directory)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/main_loop.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"

namespace {
double secondsSince(Uint64 start) {
  return static_cast<double>(SDL_GetPerformanceCounter() - start) /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

// A note when the game reached an end screen, which is cheaper to draw.
const char* gameEnded() {
  if (result.gameOver) return ", ended on the GAME OVER screen";
  if (result.gameWon) return ", ended on the winning screen";
  return "";
}

void holdPlayKeys() {
  keyDown(vk::W);
  keyDown(vk::Left);
}
}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  if (!(seconds > 0) || seconds > 600) seconds = 5.0;

  if (openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, false) !=
      WindowOpen::Opened) {
    std::fprintf(stderr, "fps_linux: the game window did not open\n");
    return 1;
  }
  std::printf("video driver: %s, swap interval: %d\n", SDL_GetCurrentVideoDriver(),
              SDL_GL_GetSwapInterval());

  // The game's own loop, with its pacer.
  resetGameState();
  holdPlayKeys();
  FramePacer pacer;
  Uint64 start = SDL_GetPerformanceCounter();
  while (secondsSince(start) < seconds) {
    holdPlayKeys();  // focus changes may release them
    if (!loopPass(&pacer)) break;
  }
  const double paced = secondsSince(start);
  std::printf(
      "main loop:      %8.1f presented frames/s (%llu swaps, %llu frames, %llu events in %.2f "
      "s)%s\n",
      static_cast<double>(loopCounters.swaps) / paced,
      static_cast<unsigned long long>(loopCounters.swaps),
      static_cast<unsigned long long>(loopCounters.frames),
      static_cast<unsigned long long>(loopCounters.events), paced, gameEnded());

  // The same work without the pacer, from a fresh game.
  resetGameState();
  uint64_t swaps = 0;
  SDL_Event event;
  start = SDL_GetPerformanceCounter();
  // Until the game ends: the end screens are cheaper to draw than play.
  while (secondsSince(start) < seconds && !result.gameOver && !result.gameWon) {
    while (SDL_PollEvent(&event)) {
    }
    holdPlayKeys();
    runFrame();
    SDL_GL_SwapWindow(gameWindow);
    keyboardStep();
    ++swaps;
  }
  const double unpaced = secondsSince(start);
  std::printf("without pacer:  %8.1f presented frames/s (%llu swaps in %.2f s)%s\n",
              static_cast<double>(swaps) / unpaced, static_cast<unsigned long long>(swaps), unpaced,
              gameEnded());

  closeGameWindow();
  SDL_Quit();
  return 0;
}
