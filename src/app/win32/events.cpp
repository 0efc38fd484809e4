// The window procedure and the message pump: one message per pass, each
// turned into game input (the active flag, KeyDown, the mouse view, the fire
// request, the projection), and the shell's own keys and messages (F12,
// Alt+Enter, DPI changes).
#include "app/win32/events.h"

#include "app/main_loop.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "app/win32/pads.h"
#include "app/win32/screen.h"
#include "game/state.h"
#include "gl.h"

namespace {
// Whether the game's window is the active one, in front: pads play only then.
bool inFront = false;

// Sent when the window's DPI changes (moved to another monitor, or the
// monitor's scale changed); older headers lack the name.
constexpr UINT kDpiChangedMessage = 0x02E0;

// Whether a system key message is Alt+Enter: bit 29 says Alt is held.
bool altEnter(WPARAM wParam, LPARAM lParam) {
  return wParam == VK_RETURN && (lParam & (1L << 29)) != 0;
}
}  // namespace

PumpResult pumpEvent(int* quitCode) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // The queue is empty: a frame follows, with the pads as they are now (and
    // none while another window is in front, as SDL's shell does).
    readPads(inFront);
    return PumpResult::Empty;
  }
  if (msg.message == WM_QUIT) {
    *quitCode = static_cast<int>(msg.wParam);
    return PumpResult::Quit;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return PumpResult::Handled;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // The low word says whether the window is now the active one; the high
      // word is the minimised state.
      inFront = LOWORD(wParam) != WA_INACTIVE;
      shell.active = HIWORD(wParam) == 0;
      break;
    case WM_SYSCOMMAND:
      // Neither the screen saver nor monitor power saving while the game runs.
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      // Alt let go with no other key seen (as after Alt+Enter, whose Enter
      // the game takes) would open the window menu, and its modal loop
      // would stop the game; Alt+Space still opens it.
      if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) return 0;
      break;
    case WM_CLOSE:
      // The main loop ends on the quit message; closeGameWindow destroys the window.
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      // F12 saves a screenshot and is no key of the game's (app/screenshot.h);
      // bit 30 is set on a held key's repeats.
      if (wParam == VK_F12) {
        if ((lParam & (1L << 30)) == 0) requestScreenshot();
        return 0;
      }
      if (wParam < 256) keyDown(static_cast<int>(wParam));
      break;
    case WM_KEYUP:
      if (wParam == VK_F12) return 0;
      if (wParam < 256) keyUp(static_cast<int>(wParam));
      break;
    case WM_SYSKEYDOWN:
      // Alt+Enter switches between full screen and a window; like F12 it is
      // the shell's key, never the game's. A held key's repeats do nothing.
      if (altEnter(wParam, lParam)) {
        if ((lParam & (1L << 30)) == 0) toggleFullScreen(window);
        return 0;
      }
      break;
    case WM_SYSKEYUP:
      if (altEnter(wParam, lParam)) return 0;
      break;
    case WM_SYSCHAR:
      // The character Alt+Enter makes: no beep for a menu the window lacks.
      if (wParam == '\r') return 0;
      break;
    case kDpiChangedMessage:
      // The new DPI is in the low word; lParam suggests the window's new rectangle.
      // NOLINTNEXTLINE(performance-no-int-to-ptr): lParam carries the suggested RECT's address
      followDpiChange(window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      // Sizes that arrive while the window is being created find no context yet.
      if (wglGetCurrentContext() != nullptr) resizeView(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_MOUSEMOVE:
      // The client area's pixels, in the game's 96-DPI units.
      mouseView(pixelsToUnits(LOWORD(lParam), windowDpi), pixelsToUnits(HIWORD(lParam), windowDpi));
      break;
    case WM_LBUTTONDOWN: fireButton(); break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
