// The program: the start question, the game window, the main loop, teardown.
#include <windows.h>

#include "app/shell.h"
#include "app/win32/game_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const bool fullscreenFlag = askFullScreen();
  if (!openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, fullscreenFlag)) {
    return 0;  // the reason has been shown and the window torn down
  }
  const int exitCode = runMainLoop();
  closeGameWindow();
  return exitCode;
}
