// First Person Shooter on Linux: the SDL2 shell's entry point.
#include <SDL.h>

#include "app/sdl/loop.h"

int main(int, char**) {
  const int exitCode = runShooter();
  SDL_Quit();
  return exitCode;
}
