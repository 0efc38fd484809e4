// The game window: class, display mode, window, pixel format, rendering
// context, and presenting the frame.
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

  if (shell.fullscreen) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof(DEVMODEA);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
      if (!askWindowedFallback()) return WindowOpen::Declined;
      shell.fullscreen = false;
    }
  }

  DWORD exStyle;
  DWORD style;
  if (shell.fullscreen) {
    exStyle = WS_EX_APPWINDOW;
    style = WS_POPUP;
    ShowCursor(FALSE);
  } else {
    exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    style = WS_OVERLAPPEDWINDOW;
  }

  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);

  hWnd = CreateWindowExA(exStyle, kWindowClass, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                         0, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                         hInstance, nullptr);
  if (hWnd == nullptr) return failOpen(StartError::Window);

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
  return openGameScene(width, height);
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
  if (shell.fullscreen) {
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
  }
}

// What the GL layer still holds is drawn before the frame is shown.
void presentFrame() {
  glFlush();
  SwapBuffers(hDC);
}
