// The OS services of platform.h on Windows.
#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <cstdio>

#include "app/win32/screen.h"
#include "app/win32/window.h"
#include "platform/platform.h"

Answer platformMessageBox(const char* text, const char* caption, MessageButtons buttons,
                          MessageIcon icon, bool ownedByFocus) {
  UINT flags = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Stop: flags |= MB_ICONSTOP; break;
    case MessageIcon::Question: flags |= MB_ICONQUESTION; break;
    case MessageIcon::Exclamation: flags |= MB_ICONEXCLAMATION; break;
    case MessageIcon::Information: flags |= MB_ICONINFORMATION; break;
  }
  switch (MessageBoxA(ownedByFocus ? GetFocus() : nullptr, text, caption, flags)) {
    case IDOK: return Answer::Ok;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    case 0:
      // The box could not be shown: the reason still reaches whoever reads
      // the standard error stream.
      std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "",
                   text != nullptr ? text : "");
      return Answer::Cancel;
    default: return Answer::Cancel;
  }
}

// A window program has no console: the answer is a box (and the standard
// streams get it, should the box fail).
void platformCommandLineAnswer(const char* text, const char* caption, bool refusal) {
  const UINT icon = refusal ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
  if (MessageBoxA(nullptr, text, caption, MB_OK | icon) != 0) return;
  std::fprintf(refusal ? stderr : stdout, "%s\n", text);
}

bool platformPicturesFolder(char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  const HRESULT found =
      SHGetFolderPathW(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, 0, wide);
  if (FAILED(found) || WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, static_cast<int>(size),
                                           nullptr, nullptr) == 0) {
    std::snprintf(out, size, "Windows gives no Pictures folder");
    return false;
  }
  return true;
}

void platformPlaySound(const char* fileName) {
  // Asynchronous; a missing file or device just stays silent.
  PlaySoundA(fileName, nullptr, SND_ASYNC);
}

void platformWarpCursor(int x, int y) {
  // The game speaks client coordinates in 96-DPI units; the cursor lives on
  // the screen, in pixels. In a window the client area is offset by the frame.
  POINT point = {unitsToPixels(x, windowDpi), unitsToPixels(y, windowDpi)};
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
