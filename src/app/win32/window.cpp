// The game window: class, full screen (a borderless window over the monitor,
// or with switch mode the display switched to the game's mode), the size at
// the monitor's DPI, window, pixel format, rendering context, Alt+Enter's
// switch between full screen and a window, and presenting the frame.
#include "app/win32/window.h"

#include <cstdint>
#include <cstring>

#include "app/gl_path.h"
#include "app/main_loop.h"
#include "app/shell.h"
#include "app/win32/events.h"
#include "gl.h"

HINSTANCE hInstance = nullptr;
HWND hWnd = nullptr;
HDC hDC = nullptr;
HGLRC hRC = nullptr;

namespace {
// Fails: tears down what exists, then tells why.
WindowOpen failOpen(StartError error) {
  closeGameWindow();
  showStartError(error);
  return WindowOpen::Failed;
}

// Asks the driver to present at the display's refresh rate. Drivers without
// the extension, or that refuse (a virtual X server does), leave the frame
// pacer to hold the rate alone.
void requestVsync() {
  using SwapIntervalProc = BOOL(WINAPI*)(int);
  PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
  const intptr_t value = reinterpret_cast<intptr_t>(proc);
  // Some drivers return small integers or -1 instead of null for "no such function".
  if (proc == nullptr || (value >= -1 && value <= 3)) return;
  SwapIntervalProc swapInterval;
  static_assert(sizeof swapInterval == sizeof proc, "function pointers differ in size");
  std::memcpy(&swapInterval, &proc, sizeof swapInterval);
  swapInterval(1);
}

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

// The outer rectangle of a window whose client area is `rect` at that DPI.
void adjustForDpi(RECT* rect, DWORD style, DWORD exStyle, unsigned dpi) {
  static const auto adjust =
      systemProc<AdjustWindowRectExForDpiProc>("user32.dll", "AdjustWindowRectExForDpi");
  if (adjust == nullptr || !adjust(rect, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(rect, style, FALSE, exStyle);
  }
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

constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowedExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFullScreenExStyle = WS_EX_APPWINDOW;

// The window's outer rectangle in a window: the game's size scaled to the
// DPI, its client area's corner at `corner`'s frame corner.
RECT windowedPlace(POINT corner, unsigned dpi) {
  RECT rect = {0, 0, scaleToDpi(gameWidth, dpi), scaleToDpi(gameHeight, dpi)};
  adjustForDpi(&rect, kWindowedStyle, kWindowedExStyle, dpi);
  return RECT{corner.x, corner.y, corner.x + rect.right - rect.left,
              corner.y + rect.bottom - rect.top};
}

// The projection for the client area as it is now, in pixels.
void resizeToClient() {
  RECT client = {0, 0, 0, 0};
  if (hWnd == nullptr || !GetClientRect(hWnd, &client)) return;
  resizeView(client.right - client.left, client.bottom - client.top);
}

void placeWindow(HWND after, const RECT& rect, UINT flags) {
  SetWindowPos(hWnd, after, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               flags | SWP_NOACTIVATE);
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

PIXELFORMATDESCRIPTOR gamePixelFormat(int bits) {
  PIXELFORMATDESCRIPTOR pfd;
  std::memset(&pfd, 0, sizeof pfd);
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = static_cast<BYTE>(bits);
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

WindowOpen openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
  shell.fullscreen = fullscreenFlag;
  hInstance = GetModuleHandleA(nullptr);
  gameWidth = width;
  gameHeight = height;
  gameBits = bits;
  haveWindowedRect = false;

  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = hInstance;
  windowClass.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassA(&windowClass) == 0) {
    showStartError(StartError::WindowSystem);
    return WindowOpen::Failed;
  }

  // The game starts on the monitor at the desktop's origin (the primary one).
  const POINT origin = {0, 0};
  HMONITOR monitor = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
  windowDpi = monitorDpi(monitor);
  RECT place = {0, 0, width, height};
  if (shell.fullscreen) {
    // Full screen covers the monitor at its own mode; switch mode switches
    // the display to the game's size instead.
    const bool covered = shell.switchMode ? switchDisplay() : monitorRect(monitor, &place);
    if (!covered) {
      if (!askWindowedFallback()) return WindowOpen::Declined;
      shell.fullscreen = false;
      place = RECT{0, 0, width, height};
    }
  }
  if (!shell.fullscreen) place = windowedPlace(origin, windowDpi);

  const DWORD style = shell.fullscreen ? kFullScreenStyle : kWindowedStyle;
  const DWORD exStyle = shell.fullscreen ? kFullScreenExStyle : kWindowedExStyle;
  hideCursor(shell.fullscreen);
  hWnd = CreateWindowExA(exStyle, kWindowClass, title, style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                         hInstance, nullptr);
  if (hWnd == nullptr) return failOpen(StartError::Window);
  // The window may have come up on a monitor of another DPI than the one asked.
  const unsigned dpi = dpiOfWindow(hWnd);
  if (dpi != windowDpi) {
    windowDpi = dpi;
    if (!shell.fullscreen) placeWindow(nullptr, windowedPlace(origin, dpi), SWP_NOZORDER);
  }

  hDC = GetDC(hWnd);
  if (hDC == nullptr) return failOpen(StartError::DrawingSurface);

  const PIXELFORMATDESCRIPTOR pfd = gamePixelFormat(bits);
  const int pixelFormat = ChoosePixelFormat(hDC, &pfd);
  if (pixelFormat == 0) return failOpen(StartError::ChooseFormat);
  if (!SetPixelFormat(hDC, pixelFormat, &pfd)) return failOpen(StartError::SetFormat);

  hRC = wglCreateContext(hDC);
  if (hRC == nullptr) return failOpen(StartError::CreateContext);
  if (!wglMakeCurrent(hDC, hRC)) return failOpen(StartError::ActivateContext);
  requestVsync();

  ShowWindow(hWnd, SW_SHOW);
  SetForegroundWindow(hWnd);
  SetFocus(hWnd);
  // Drawn at the client area's own pixels.
  RECT client = {0, 0, width, height};
  GetClientRect(hWnd, &client);
  return openGameScene(client.right - client.left, client.bottom - client.top);
}

bool toggleFullScreen() {
  if (hWnd == nullptr) return false;
  if (shell.fullscreen) {
    restoreDisplay();
    RECT place = windowedRect;
    if (!haveWindowedRect) {
      RECT monitor = {0, 0, 0, 0};
      monitorRect(MonitorFromWindow(hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
      place = windowedPlace(POINT{monitor.left, monitor.top}, windowDpi);
    }
    shell.fullscreen = false;
    SetWindowLongA(hWnd, GWL_EXSTYLE, static_cast<LONG>(kWindowedExStyle));
    SetWindowLongA(hWnd, GWL_STYLE, static_cast<LONG>(kWindowedStyle | WS_VISIBLE));
    placeWindow(HWND_NOTOPMOST, place, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    hideCursor(false);
  } else {
    RECT place = {0, 0, gameWidth, gameHeight};
    HMONITOR monitor = MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST);
    if (shell.switchMode ? !switchDisplay() : !monitorRect(monitor, &place)) return false;
    haveWindowedRect = GetWindowRect(hWnd, &windowedRect) != 0;
    shell.fullscreen = true;
    SetWindowLongA(hWnd, GWL_EXSTYLE, static_cast<LONG>(kFullScreenExStyle));
    SetWindowLongA(hWnd, GWL_STYLE, static_cast<LONG>(kFullScreenStyle | WS_VISIBLE));
    placeWindow(HWND_TOP, place, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    hideCursor(true);
  }
  // WM_SIZE has set the projection already where the size changed; the same
  // size in a new style sends none.
  resizeToClient();
  return true;
}

void followDpiChange(unsigned dpi, const RECT* suggested) {
  windowDpi = saneDpi(dpi);
  if (hWnd == nullptr) return;
  RECT place;
  if (!shell.fullscreen && suggested != nullptr) {
    placeWindow(nullptr, *suggested, SWP_NOZORDER);
  } else if (shell.fullscreen && !displaySwitched &&
             monitorRect(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &place)) {
    placeWindow(nullptr, place, SWP_NOZORDER);
  }
  resizeToClient();
}

void closeGameWindow() {
  closeGameScene();

  if (hRC != nullptr) {
    if (!wglMakeCurrent(nullptr, nullptr)) showShutdownError(ShutdownError::ReleaseCurrent);
    if (!wglDeleteContext(hRC)) showShutdownError(ShutdownError::DeleteContext);
    hRC = nullptr;
  }
  if (hDC != nullptr) {
    if (!ReleaseDC(hWnd, hDC)) showShutdownError(ShutdownError::ReleaseDeviceContext);
    hDC = nullptr;
  }
  if (hWnd != nullptr) {
    if (!DestroyWindow(hWnd)) showShutdownError(ShutdownError::DestroyWindow);
    hWnd = nullptr;
  }
  restoreDisplay();
  hideCursor(false);
}

// What the GL layer still holds is drawn before the frame is shown.
void presentFrame() {
  glFlush();
  SwapBuffers(hDC);
}
