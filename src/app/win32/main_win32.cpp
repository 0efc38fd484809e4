// First Person Shooter on Windows: the Win32 shell's entry point.
#include <windows.h>

#include <cstdlib>

#include "app/gl_path.h"
#include "app/main_loop.h"
#include "app/recording.h"
#include "app/shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The C runtime has split the command line already.
  if (!readRecordingOptions(__argc, __argv)) return kExitStartFailed;
  readGlOptions(__argc, __argv);
  return runGame();
}
