// Full screen and the window's size on the screen: a borderless window over
// the monitor at the display's own mode (or, in switch mode, the display
// switched to the game's mode), a window sized to its monitor's DPI, the
// switch between the two (Alt+Enter) and DPI changes.
#include "app/win32/screen.h"

#include <cstring>

#include "app/input.h"
#include "app/shell.h"

namespace {
// Whether the display was switched to the game's mode (switch mode only), so
// that it is switched back.
bool displaySwitched = false;
// Whether full screen hid the cursor.
bool cursorHidden = false;
// The window's place before it went full screen, for the way back.
RECT windowedRect = {0, 0, 0, 0};
bool haveWindowedRect = false;
// The size openGameWindow was asked for: the windowed client area at 96 DPI,
// and the display mode of switch mode.
int gameWidth = 640;
int gameHeight = 480;
int gameBits = 16;

// The DPI functions of newer Windows, looked up at run time so that the game
// still starts where they are missing.
template <typename Proc>
Proc systemProc(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) module = LoadLibraryA(library);
  if (module == nullptr) return nullptr;
  FARPROC found = GetProcAddress(module, name);
  Proc proc = nullptr;
  static_assert(sizeof proc == sizeof found, "function pointers differ in size");
  if (found != nullptr) std::memcpy(&proc, &found, sizeof proc);
  return proc;
}

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
using GetDpiForMonitorProc = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustWindowRectExForDpiProc = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

unsigned saneDpi(unsigned dpi) { return dpi >= 48 && dpi <= 960 ? dpi : kDefaultDpi; }

// The outer rectangle of a window whose client area is `rect` at that DPI.
void adjustForDpi(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi) {
  static const auto adjust =
      systemProc<AdjustWindowRectExForDpiProc>("user32.dll", "AdjustWindowRectExForDpi");
  if (adjust == nullptr || !adjust(rect, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(rect, style, FALSE, exStyle);
  }
}
}  // namespace

unsigned windowDpi = kDefaultDpi;

int scaleToDpi(int size, unsigned dpi) {
  return MulDiv(size, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

double pixelsToUnits(int pixels, unsigned dpi) {
  return static_cast<double>(pixels) * kDefaultDpi / saneDpi(dpi);
}

int unitsToPixels(int units, unsigned dpi) {
  return MulDiv(units, static_cast<int>(saneDpi(dpi)), static_cast<int>(kDefaultDpi));
}

void startScreen(int width, int height, int bits) {
  gameWidth = width;
  gameHeight = height;
  gameBits = bits;
  haveWindowedRect = false;
}

// The monitor's effective DPI; the system's where the per-monitor query is missing.
unsigned monitorDpi(HMONITOR monitor) {
  static const auto getDpiForMonitor =
      systemProc<GetDpiForMonitorProc>("shcore.dll", "GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  if (getDpiForMonitor != nullptr && monitor != nullptr &&
      SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y))) {
    return saneDpi(y);
  }
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kDefaultDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return saneDpi(static_cast<unsigned>(dpi));
}

unsigned dpiOfWindow(HWND window) {
  static const auto getDpiForWindow =
      systemProc<GetDpiForWindowProc>("user32.dll", "GetDpiForWindow");
  if (getDpiForWindow != nullptr) return saneDpi(getDpiForWindow(window));
  return monitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

// Where a borderless full-screen window on that monitor goes.
bool monitorRect(HMONITOR monitor, RECT* rect) {
  MONITORINFO info;
  std::memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) return false;
  *rect = info.rcMonitor;
  return rect->right > rect->left && rect->bottom > rect->top;
}

bool switchDisplay() {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof(DEVMODEA);
  mode.dmPelsWidth = static_cast<DWORD>(gameWidth);
  mode.dmPelsHeight = static_cast<DWORD>(gameHeight);
  mode.dmBitsPerPel = static_cast<DWORD>(gameBits);
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  displaySwitched = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
  return displaySwitched;
}

void restoreDisplay() {
  if (displaySwitched) ChangeDisplaySettingsA(nullptr, 0);
  displaySwitched = false;
}

void hideCursor(bool hide) {
  if (hide == cursorHidden) return;
  ShowCursor(hide ? FALSE : TRUE);
  cursorHidden = hide;
}

// The window's outer rectangle in a window: the game's size scaled to the
// DPI, its client area's corner at `corner`'s frame corner.
RECT windowedPlace(POINT corner, unsigned dpi) {
  RECT rect = {0, 0, scaleToDpi(gameWidth, dpi), scaleToDpi(gameHeight, dpi)};
  adjustForDpi(&rect, kWindowedStyle, kWindowedExStyle, dpi);
  return RECT{corner.x, corner.y, corner.x + rect.right - rect.left,
              corner.y + rect.bottom - rect.top};
}

// The projection for the client area as it is now, in pixels.
void resizeToClient(HWND window) {
  RECT client = {0, 0, 0, 0};
  if (window == nullptr || !GetClientRect(window, &client)) return;
  resizeView(client.right - client.left, client.bottom - client.top);
}

void placeWindow(HWND window, HWND after, const RECT& rect, UINT flags) {
  SetWindowPos(window, after, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               flags | SWP_NOACTIVATE);
}

bool toggleFullScreen(HWND window) {
  if (window == nullptr) return false;
  if (shell.fullscreen) {
    restoreDisplay();
    RECT place = windowedRect;
    if (!haveWindowedRect) {
      RECT monitor = {0, 0, 0, 0};
      monitorRect(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
      place = windowedPlace(POINT{monitor.left, monitor.top}, windowDpi);
    }
    shell.fullscreen = false;
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(kWindowedExStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(kWindowedStyle | WS_VISIBLE));
    placeWindow(window, HWND_NOTOPMOST, place, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    hideCursor(false);
  } else {
    RECT place = {0, 0, gameWidth, gameHeight};
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (shell.switchMode ? !switchDisplay() : !monitorRect(monitor, &place)) return false;
    haveWindowedRect = GetWindowRect(window, &windowedRect) != 0;
    shell.fullscreen = true;
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(kFullScreenExStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(kFullScreenStyle | WS_VISIBLE));
    placeWindow(window, HWND_TOP, place, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    hideCursor(true);
  }
  // WM_SIZE has set the projection already where the size changed; the same
  // size in a new style sends none.
  resizeToClient(window);
  return true;
}

void followDpiChange(HWND window, unsigned dpi, const RECT* suggested) {
  windowDpi = saneDpi(dpi);
  if (window == nullptr) return;
  RECT place;
  if (!shell.fullscreen && suggested != nullptr) {
    placeWindow(window, nullptr, *suggested, SWP_NOZORDER);
  } else if (shell.fullscreen && !displaySwitched &&
             monitorRect(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &place)) {
    placeWindow(window, nullptr, place, SWP_NOZORDER);
  }
  resizeToClient(window);
}
