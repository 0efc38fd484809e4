// First Person Shooter on Windows: the Win32 shell's entry point.
#include <windows.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/gl_path.h"
#include "app/main_loop.h"
#include "app/shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The C runtime has split the command line already.
  GameOptions options;
  int exitCode = kExitNormal;
  if (!takeCommandLine(__argc, __argv, &options, &exitCode)) return exitCode;
  chooseGlPath(options.directGl);
  enterDataFolder(&options);
  return runGame();
}
