// Presented frames per second of the real Win32 shell: opens the game window
// (windowed), runs the main loop for a few seconds and counts the frames it
// presents. For comparison it then draws and swaps the same frame without the
// loop's pacing.
//
//   frame_rate_bench [seconds]     run in the game's data folder, on an X server
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/main_loop.h"
#include "app/shell.h"
#include "app/win32/window.h"
#include "game/frame.h"

namespace {
LARGE_INTEGER frequency;
LARGE_INTEGER started;

double secondsSince(const LARGE_INTEGER& from) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}
}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  QueryPerformanceFrequency(&frequency);

  if (openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, false) !=
      WindowOpen::Opened) {
    return 1;
  }

  // What the driver made of the game's vsync request.
  using GetSwapIntervalProc = int(WINAPI*)();
  PROC proc = wglGetProcAddress("wglGetSwapIntervalEXT");
  if (proc != nullptr) {
    GetSwapIntervalProc getSwapInterval;
    std::memcpy(&getSwapInterval, &proc, sizeof getSwapInterval);
    std::printf("swap interval: %d\n", getSwapInterval());
  } else {
    std::printf("swap interval: no swap control\n");
  }

  // The game's own loop, with its pacer.
  FramePacer pacer;
  QueryPerformanceCounter(&started);
  while (secondsSince(started) < seconds && loopPass(&pacer)) {
  }
  const double pacedSeconds = secondsSince(started);
  const long pacedFrames = static_cast<long>(loopCounters.swaps);

  // The same frames and swaps as fast as the machine goes.
  long unpacedFrames = 0;
  QueryPerformanceCounter(&started);
  while (secondsSince(started) < seconds) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    runFrame();
    SwapBuffers(hDC);
    ++unpacedFrames;
  }
  const double unpacedSeconds = secondsSince(started);
  closeGameWindow();

  std::printf("main loop:  %ld frames in %.2f s = %.1f presented frames per second\n", pacedFrames,
              pacedSeconds, static_cast<double>(pacedFrames) / pacedSeconds);
  std::printf("no pacing:  %ld frames in %.2f s = %.1f frames per second\n", unpacedFrames,
              unpacedSeconds, static_cast<double>(unpacedFrames) / unpacedSeconds);
  return 0;
}
