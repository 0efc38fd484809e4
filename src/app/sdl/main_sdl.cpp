// First Person Shooter on Linux: the SDL2 shell's entry point.
#include <SDL.h>

#include <cstdio>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/gl_path.h"
#include "app/main_loop.h"
#include "app/sdl/sound.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "data_files.h"

int main(int argc, char** argv) {
  GameOptions options;
  int exitCode = kExitNormal;
  if (!takeCommandLine(argc, argv, &options, &exitCode)) return exitCode;
  chooseGlPath(options.directGl);
  enterDataFolder(&options);
  // A game nobody can see would run for ever: without a display it refuses to
  // start. The video system stays up for the whole run, so that every message
  // box goes through the display's own connection.
  if (!startVideo()) {
    std::fprintf(stderr,
                 "First Person Shooter: no display to show the game on (%s). Set DISPLAY to "
                 "a running X server, or SDL_VIDEODRIVER=offscreen to run without a screen.\n",
                 videoStartFailure());
    SDL_Quit();
    return kExitStartFailed;
  }
  // The shot's sound read and the sound device opened before the first frame.
  loadSound(kRifleSoundFile);
  exitCode = runGame();
  stopVideo();
  SDL_Quit();
  return exitCode;
}
