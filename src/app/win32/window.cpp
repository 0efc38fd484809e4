// The game window: class, full screen or a window at the monitor's DPI
// (app/win32/screen.h), window, pixel format, rendering context, and
// presenting the frame.
#include "app/win32/window.h"

#include <cstdint>
#include <cstring>

#include "app/gl_path.h"
#include "app/main_loop.h"
#include "app/shell.h"
#include "app/win32/events.h"
#include "app/win32/screen.h"
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

}  // namespace

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
  startScreen(width, height, bits);

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
    if (!shell.fullscreen) placeWindow(hWnd, nullptr, windowedPlace(origin, dpi), SWP_NOZORDER);
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
