// The rendering tests' GL context on Windows: a hidden window with the game's
// pixel format (double-buffered RGBA, 16-bit depth) and a WGL context.
#include <windows.h>

#include <cstring>

#include "gl.h"
#include "support/gl_context.h"

namespace {
constexpr const char* kTestWindowClass = "ShooterTestGL";

bool registerTestClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kTestWindowClass;
  registered = RegisterClassA(&windowClass) != 0;
  return registered;
}
}  // namespace

bool GlContext::open(int width, int height) {
  close();
  if (!registerTestClass()) return false;
  // A popup has no frame, so the window is exactly the drawing surface.
  HWND window =
      CreateWindowExA(0, kTestWindowClass, "test", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                      0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return false;
  HDC dc = GetDC(window);
  PIXELFORMATDESCRIPTOR pfd;
  std::memset(&pfd, 0, sizeof pfd);
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 16;
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int format = dc != nullptr ? ChoosePixelFormat(dc, &pfd) : 0;
  HGLRC context = nullptr;
  if (format != 0 && SetPixelFormat(dc, format, &pfd)) context = wglCreateContext(dc);
  if (context == nullptr || !wglMakeCurrent(dc, context)) {
    if (context != nullptr) wglDeleteContext(context);
    if (dc != nullptr) ReleaseDC(window, dc);
    DestroyWindow(window);
    return false;
  }
  window_ = window;
  context_ = context;
  extra_ = dc;
  width_ = width;
  height_ = height;
  glViewport(0, 0, width, height);
  return true;
}

void GlContext::close() {
  if (context_ != nullptr) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(static_cast<HGLRC>(context_));
  }
  if (extra_ != nullptr) ReleaseDC(static_cast<HWND>(window_), static_cast<HDC>(extra_));
  if (window_ != nullptr) DestroyWindow(static_cast<HWND>(window_));
  context_ = nullptr;
  extra_ = nullptr;
  window_ = nullptr;
}

// What the GL layer holds is drawn first, as the shells do.
void GlContext::swap() {
  glFlush();
  SwapBuffers(static_cast<HDC>(extra_));
}

std::vector<uint8_t> GlContext::readPixels() const {
  std::vector<uint8_t> rgb(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
  glFlush();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}
