// First Person Shooter on Windows: the Win32 shell's entry point.
#include <windows.h>

#include "app/main_loop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runGame(); }
