// The browser timedemo: the desktop timedemo's scenes drawn in a page of their
// own, each frame called from the page's script, which times it and counts
// the WebGL calls it makes.
#include <emscripten.h>

#include <cstdlib>
#include <new>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/shell.h"
#include "gl.h"
#include "support/test_platform.h"
#include "timedemo_scenes.h"

namespace {
unsigned long allocations = 0;  // operator new calls, since the start
}  // namespace

// Every allocation of the program counted (the timedemo's own, not the game's page).
void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

extern "C" {
EMSCRIPTEN_KEEPALIVE unsigned long timedemoAllocations() { return allocations; }

// Puts the game's state where scene `scene` draws from; not timed.
EMSCRIPTEN_KEEPALIVE void timedemoPrepare(int scene) {
  if (scene >= 0 && scene < kTimedemoScenes) timedemoScenes[scene].prepare();
}

// One frame of the scene, as far as the page presents it.
EMSCRIPTEN_KEEPALIVE void timedemoDraw(int scene) {
  if (scene >= 0 && scene < kTimedemoScenes) timedemoScenes[scene].draw();
  glFlush();
}
}

int main() {
  if (!glfwInit()) return 1;
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  GLFWwindow* window = glfwCreateWindow(640, 480, "timedemo", nullptr, nullptr);
  if (window == nullptr) return 1;
  glfwMakeContextCurrent(window);
  if (!layerStart()) return 1;
  resizeView(640, 480);
  if (!initScene()) return 1;
  testPlatform.sounds.reserve(64);
  testPlatform.warps.reserve(64);
  placeImpacts();
  for (const TimedemoScene& s : timedemoScenes) {
    EM_ASM({ Module.sceneNames.push(UTF8ToString($0)); }, s.name);
  }
  EM_ASM(
      {
        Module.mazeScene = $0;
        Module.timedemoReady = true;
      },
      kMazeScene);
  return 0;
}
