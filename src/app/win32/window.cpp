// The game window: class, display mode, window, pixel format, rendering
// context, and the window procedure that turns messages into game input.
#include <cstdint>
#include <cstring>

#include "platform/platform.h"
#include "app/shell.h"
#include "app/win32/game_window.h"
#include "game/state.h"
#include "gl.h"

HINSTANCE hInstance = nullptr;
HWND hWnd = nullptr;
HDC hDC = nullptr;
HGLRC hRC = nullptr;

namespace {
constexpr const char* kErrorCaption = "ERROR";
constexpr const char* kShutdownCaption = "SHUTDOWN ERROR";

void showError(const char* text) {
  platformMessageBox(text, kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
}

void showShutdownError(const char* text) {
  platformMessageBox(text, kShutdownCaption, MB_OK | MB_ICONINFORMATION);
}

// Fails: tears down what exists, then tells why.
bool failOpen(const char* text) {
  closeGameWindow();
  showError(text);
  return false;
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

bool openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
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
    showError("Failed To Register The Window Class.");
    return false;
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
      const int answer = platformMessageBox(
          "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
          "Instead?",
          "Quarl GL", MB_YESNO | MB_ICONEXCLAMATION);
      if (answer == IDYES) {
        shell.fullscreen = false;
      } else {
        platformMessageBox("Program Will Now Close.", kErrorCaption, MB_OK | MB_ICONSTOP);
        return false;
      }
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

  hWnd = CreateWindowExA(exStyle, kWindowClass, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                         0, 0, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                         hInstance, nullptr);
  if (hWnd == nullptr) return failOpen("Window Creation Error.");

  hDC = GetDC(hWnd);
  if (hDC == nullptr) return failOpen("Can't Create A GL Device Context.");

  const PIXELFORMATDESCRIPTOR pfd = gamePixelFormat(bits);
  const int pixelFormat = ChoosePixelFormat(hDC, &pfd);
  if (pixelFormat == 0) return failOpen("Can't Find A Suitable PixelFormat.");
  if (!SetPixelFormat(hDC, pixelFormat, &pfd)) return failOpen("Can't Set The PixelFormat.");

  hRC = wglCreateContext(hDC);
  if (hRC == nullptr) return failOpen("Can't Create A GL Rendering Context.");
  if (!wglMakeCurrent(hDC, hRC)) return failOpen("Can't Activate The GL Rendering Context.");
  requestVsync();

  ShowWindow(hWnd, SW_SHOW);
  SetForegroundWindow(hWnd);
  SetFocus(hWnd);
  resizeView(width, height);

  if (!initScene()) return failOpen("Initialization Failed.");
  return true;
}

void closeGameWindow() {
  // The model's arrays and the font lists go while the context is still current.
  releaseScene();

  if (hRC != nullptr) {
    if (!wglMakeCurrent(nullptr, nullptr)) showShutdownError("Release Of DC And RC Failed.");
    if (!wglDeleteContext(hRC)) showShutdownError("Release Rendering Context Failed.");
    hRC = nullptr;
  }
  if (hDC != nullptr) {
    if (!ReleaseDC(hWnd, hDC)) showShutdownError("Release Device Context Failed.");
    hDC = nullptr;
  }
  if (hWnd != nullptr) {
    if (!DestroyWindow(hWnd)) showShutdownError("Could Not Release hWnd.");
    hWnd = nullptr;
  }
  if (shell.fullscreen) {
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
  }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // The high word is the minimised state.
      shell.active = HIWORD(wParam) == 0;
      break;
    case WM_SYSCOMMAND:
      // Neither the screen saver nor monitor power saving while the game runs.
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    case WM_CLOSE:
      // The main loop ends on the quit message; closeGameWindow destroys the window.
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (wParam < 256) keyDown(static_cast<int>(wParam));
      break;
    case WM_KEYUP:
      if (wParam < 256) keyUp(static_cast<int>(wParam));
      break;
    case WM_SIZE:
      // Sizes that arrive while the window is being created find no context yet.
      if (wglGetCurrentContext() != nullptr) resizeView(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_MOUSEMOVE:
      mouseView(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_LBUTTONDOWN:
      input.fireRequest = 1;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
