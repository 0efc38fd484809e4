// The game's canvas and GL context.
#include "app/web/window.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "platform/platform.h"
#include "app/shell.h"
#include "app/web/events.h"

namespace {
GLFWwindow* window = nullptr;

void showError(const char* text) { platformMessageBox(text, "ERROR", kMbOk | kMbIconExclamation); }
}  // namespace

bool openGameWindow(const char* title, int width, int height, bool fullscreen) {
  shell.fullscreen = fullscreen;
  setWantFullscreen(fullscreen);
  if (!glfwInit()) {
    showError("Failed To Register The Window Class.");
    return false;
  }
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  window = glfwCreateWindow(width, height, title, nullptr, nullptr);
  if (window == nullptr) {
    glfwTerminate();
    showError("Can't Create A GL Rendering Context.");
    return false;
  }
  glfwMakeContextCurrent(window);
  installEventHandlers();
  resizeView(width, height);
  if (!initScene()) {
    closeGameWindow();
    showError("Initialization Failed.");
    return false;
  }
  return true;
}

void closeGameWindow() {
  if (window == nullptr) return;
  releaseScene();
  glfwDestroyWindow(window);
  window = nullptr;
  glfwTerminate();
}
