// The game's canvas and GL context (openGameWindow, closeGameWindow and
// presentFrame of app/main_loop.h), through GLFW on the page.

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/main_loop.h"
#include "app/shell.h"
#include "app/web/events.h"
#include "app/web/page.h"
#include "camera.h"
#include "game/hud.h"
#include "gl.h"
#include "text/font.h"

namespace {
GLFWwindow* window = nullptr;
// The backing store the view was last set for.
int viewWidth = 0;
int viewHeight = 0;
}  // namespace

void followCanvasSize() {
  // The size the page wants (index.html's layOut, again if the page was
  // zoomed); a page without a layout of its own keeps the canvas as it is.
  EM_ASM({
    if (Module.followRatio) Module.followRatio();
  });
  int width = EM_ASM_INT({ return Module.canvasPixels ? Module.canvasPixels[0] : 0; });
  int height = EM_ASM_INT({ return Module.canvasPixels ? Module.canvasPixels[1] : 0; });
  if (width <= 0 || height <= 0) emscripten_get_canvas_element_size("#canvas", &width, &height);
  if (width == viewWidth && height == viewHeight) return;
  emscripten_set_canvas_element_size("#canvas", width, height);
  viewWidth = width;
  viewHeight = height;
  resizeView(width, height);
}

// The canvas has no depth of its own to choose: `bits` is the desktop's.
WindowOpen openGameWindow(const char* title, int width, int height, int, bool fullscreen) {
  shell.fullscreen = fullscreen;
  setWantFullscreen(fullscreen);
  if (!glfwInit()) {
    showStartError(StartError::WindowSystem);
    return WindowOpen::Failed;
  }
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  window = glfwCreateWindow(width, height, title, nullptr, nullptr);
  if (window == nullptr) {
    glfwTerminate();
    showStartError(StartError::CreateContext);
    return WindowOpen::Failed;
  }
  glfwMakeContextCurrent(window);
  // The GL layer's shader program is built here, before the first frame.
  if (!layerStart()) {
    glfwDestroyWindow(window);
    window = nullptr;
    glfwTerminate();
    showStartError(StartError::CreateContext);
    return WindowOpen::Failed;
  }
  installEventHandlers();
  // Making the window set the canvas's size and style: the page lays it out
  // again, and the view is set for the backing store it chose.
  EM_ASM({
    if (Module.layOut) Module.layOut();
  });
  viewWidth = viewHeight = 0;
  followCanvasSize();
  if (!initScene()) {
    closeGameWindow();
    showStartError(StartError::Scene);
    return WindowOpen::Failed;
  }
  return WindowOpen::Opened;
}

void closeGameWindow() {
  if (window == nullptr) return;
  releaseScene();
  layerStop();
  glfwDestroyWindow(window);
  window = nullptr;
  glfwTerminate();
}

// The browser shows the canvas when the frame callback returns: what the GL
// layer still holds is drawn now.
void presentFrame() { glFlush(); }

// Read-outs of the view for the browser tests: the viewport (x, y, width,
// height in the backing store's pixels, from the bottom), and the geometry
// the HUD is drawn with, from which they find where its lines land on the page.
extern "C" {
EMSCRIPTEN_KEEPALIVE int webViewport(int i) {
  GLint box[4] = {};
  glGetIntegerv(GL_VIEWPORT, box);
  return i >= 0 && i < 4 ? box[i] : 0;
}
// Line i's x, y and glyph count (field 0 to 2); -1 past the last line.
EMSCRIPTEN_KEEPALIVE int webHudPlace(int i, int field) {
  constexpr int kLines = static_cast<int>(sizeof kHudPlaces / sizeof kHudPlaces[0]);
  if (i < 0 || i >= kLines) return -1;
  const HudPlace& p = kHudPlaces[i];
  return field == 0 ? p.x : (field == 1 ? p.y : p.glyphs);
}
// The vertical field of view, the text plane's depth, the glyph's size and
// advance, and the crosshair's depth and half-width (field 0 to 5).
EMSCRIPTEN_KEEPALIVE double webHudGeometry(int field) {
  switch (field) {
    case 0: return kFieldOfView;
    case 1: return kTextDepth;
    case 2: return kGlyphSize;
    case 3: return kGlyphAdvance;
    case 4: return static_cast<double>(-kCrosshairDepth);
    default: return static_cast<double>(kCrosshairHalf);
  }
}
}
