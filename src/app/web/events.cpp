// The browser shell's event queue and the page's event handlers.
#include "app/web/events.h"

#include <emscripten/html5.h>

#include "app/main_loop.h"
#include "app/shell.h"
#include "app/web/audio.h"
#include "app/web/keymap.h"
#include "game/state.h"

namespace {
enum class Kind { KeyDown, KeyUp, Move, Warp, Fire, ReleaseKeys };

struct Event {
  Kind kind;
  int key;
  double x, y;
};

// A fixed ring: events beyond its size in one frame are dropped, as a full
// message queue drops them.
constexpr int kQueueSize = 512;
Event queue[kQueueSize];
int head = 0;
int count = 0;

// The virtual cursor, in client coordinates of the 640 x 480 game.
double cursorX = 320;
double cursorY = 240;
bool wantFullscreen = false;

void push(Kind kind, int key = 0, double x = 0, double y = 0) {
  if (count == kQueueSize) return;
  queue[(head + count) % kQueueSize] = Event{kind, key, x, y};
  ++count;
}

double clampTo(double v, double high) { return v < 0 ? 0 : (v > high ? high : v); }

// Keys the browser keeps for itself: reload, full screen, developer tools and
// anything with Ctrl or the command key.
bool browserKey(const EmscriptenKeyboardEvent& e) {
  return e.ctrlKey || e.metaKey || (e.keyCode >= 112 && e.keyCode <= 123);
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* e, void*) {
  // Anything pressed with Alt, and F10, are system keys the game never sees.
  if (e->altKey || e->keyCode == 121) return EM_FALSE;
  const int key = virtualKeyFromKeyCode(e->keyCode);
  if (key != 0) push(Kind::KeyDown, key);
  return browserKey(*e) ? EM_FALSE : EM_TRUE;
}

EM_BOOL onKeyUp(int, const EmscriptenKeyboardEvent* e, void*) {
  const int key = virtualKeyFromKeyCode(e->keyCode);
  if (key != 0) push(Kind::KeyUp, key);
  return browserKey(*e) ? EM_FALSE : EM_TRUE;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* e, void*) {
  if (e->movementX == 0 && e->movementY == 0) return EM_TRUE;
  push(Kind::Move, 0, static_cast<double>(e->movementX), static_cast<double>(e->movementY));
  return EM_TRUE;
}

EM_BOOL onMouseDown(int, const EmscriptenMouseEvent* e, void*) {
  // Pointer lock, full screen and sound are granted only inside a click handler.
  emscripten_request_pointerlock("#canvas", EM_FALSE);
  if (wantFullscreen) {
    EmscriptenFullscreenChangeEvent state{};
    emscripten_get_fullscreen_status(&state);
    if (!state.isFullscreen) {
      EmscriptenFullscreenStrategy strategy{};
      strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_ASPECT;
      strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_NONE;
      strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_DEFAULT;
      emscripten_request_fullscreen_strategy("#canvas", EM_FALSE, &strategy);
    }
  }
  resumeAudio();
  if (e->button == 0) push(Kind::Fire);
  return EM_TRUE;
}

// Keys held when the page loses the keyboard never see their release. (Leaving
// pointer lock or full screen keeps the keyboard: their releases still come.)
EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
  push(Kind::ReleaseKeys);
  return EM_FALSE;
}

}  // namespace

void installEventHandlers() {
  const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(page, nullptr, EM_TRUE, onKeyDown);
  emscripten_set_keyup_callback(page, nullptr, EM_TRUE, onKeyUp);
  emscripten_set_mousemove_callback("#canvas", nullptr, EM_TRUE, onMouseMove);
  emscripten_set_mousedown_callback("#canvas", nullptr, EM_TRUE, onMouseDown);
  emscripten_set_blur_callback(page, nullptr, EM_TRUE, onBlur);
}

void queueCursorMove(double x, double y) {
  cursorX = x;
  cursorY = y;
  push(Kind::Warp, 0, x, y);
}

void setWantFullscreen(bool fullscreen) { wantFullscreen = fullscreen; }

bool pumpOneEvent() {
  if (count == 0) return false;
  const Event e = queue[head];
  head = (head + 1) % kQueueSize;
  --count;
  switch (e.kind) {
    case Kind::KeyDown: keyDown(e.key); break;
    case Kind::KeyUp: keyUp(e.key); break;
    case Kind::Move:
      // The cursor stays on the 640 x 480 screen, as a full-screen cursor does.
      cursorX = clampTo(cursorX + e.x, kWindowWidth - 1);
      cursorY = clampTo(cursorY + e.y, kWindowHeight - 1);
      mouseView(cursorX, cursorY);
      break;
    case Kind::Warp: mouseView(e.x, e.y); break;
    case Kind::Fire: fireButton(); break;
    case Kind::ReleaseKeys:
      for (int key = 0; key < 256; ++key) keyUp(key);
      break;
  }
  return true;
}

// A page cannot be closed from inside the game: no quit request ever comes.
PumpResult pumpEvent(int*) { return pumpOneEvent() ? PumpResult::Handled : PumpResult::Empty; }
