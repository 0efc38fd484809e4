// The OS services of platform.h on Windows.
#include <windows.h>
#include <mmsystem.h>

#include "platform/platform.h"
#include "app/win32/game_window.h"

int platformMessageBox(const char* text, const char* caption, unsigned flags, bool ownedByFocus) {
  return MessageBoxA(ownedByFocus ? GetFocus() : nullptr, text, caption, flags);
}

void platformPlaySound(const char* fileName) {
  // Asynchronous; a missing file or device just stays silent.
  PlaySoundA(fileName, nullptr, SND_ASYNC);
}

void platformWarpCursor(int x, int y) {
  // The game speaks client coordinates; the cursor lives on the screen. In full
  // screen the two coincide, in a window the client area is offset by the frame.
  POINT point = {x, y};
  if (hWnd != nullptr) ClientToScreen(hWnd, &point);
  SetCursorPos(point.x, point.y);
}

bool platformCounterFrequency(int64_t* countsPerSecond) {
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
    *countsPerSecond = 0;
    return false;
  }
  *countsPerSecond = frequency.QuadPart;
  return true;
}

int64_t platformCounter() {
  LARGE_INTEGER count;
  count.QuadPart = 0;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

uint32_t platformMilliseconds() { return timeGetTime(); }

void platformSleep(double milliseconds) {
  // A 1 ms scheduler tick for the whole run, so the pacer's sleeps end on
  // time; the system restores the default when the process ends.
  static const bool finePeriod = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)finePeriod;
  if (milliseconds <= 0) {
    Sleep(0);
    return;
  }
  Sleep(static_cast<DWORD>(milliseconds));
}
