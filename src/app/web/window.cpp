// The game's canvas and GL context (openGameWindow, closeGameWindow and
// presentFrame of app/main_loop.h), through GLFW on the page.

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/main_loop.h"
#include "app/shell.h"
#include "app/web/events.h"
#include "gl.h"

namespace {
GLFWwindow* window = nullptr;
}  // namespace

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
  resizeView(width, height);
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
