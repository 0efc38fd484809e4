// The browser shell's event queue and the page's event handlers.
#include "app/web/events.h"

#include <emscripten/html5.h>

#include <cstring>

#include "app/devices.h"
#include "app/main_loop.h"
#include "app/shell.h"
#include "app/web/audio.h"
#include "app/web/keymap.h"
#include "app/web/page.h"
#include "game/state.h"

namespace {
enum class Kind {
  KeyDown,
  KeyUp,
  Move,
  Warp,
  Fire,
  ReleaseKeys,
  TouchStart,
  TouchMove,
  TouchEnd,
  TouchCancel,
  ButtonDown,
  ButtonUp,
};

struct Event {
  Kind kind;
  int key;  // a key, or a touch's identifier
  double x, y;
  double ms;  // when a touch started or ended
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

void push(Kind kind, int key = 0, double x = 0, double y = 0, double ms = 0) {
  if (count == kQueueSize) return;
  queue[(head + count) % kQueueSize] = Event{kind, key, x, y, ms};
  ++count;
}

double clampTo(double v, double high) { return v < 0 ? 0 : (v > high ? high : v); }

// Keys the browser keeps for itself: reload, full screen, developer tools and
// anything with Ctrl or the command key.
bool browserKey(const EmscriptenKeyboardEvent& e) {
  return e.ctrlKey || e.metaKey || (e.keyCode >= 112 && e.keyCode <= 123);
}

// F12 is no key of the game's (app/screenshot.h): like the desktop shells, the
// page catches it before the key table, a recording or a trace can see it. In
// the browser it stays the browser's own (its developer tools), and the page's
// Screenshot button takes the picture instead.
constexpr unsigned long kF12 = 123;

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* e, void*) {
  // Anything pressed with Alt, and F10, are system keys the game never sees.
  if (e->altKey || e->keyCode == 121 || e->keyCode == kF12) return EM_FALSE;
  const int key = virtualKeyFromKeyCode(e->keyCode);
  if (key != 0) push(Kind::KeyDown, key);
  return browserKey(*e) ? EM_FALSE : EM_TRUE;
}

EM_BOOL onKeyUp(int, const EmscriptenKeyboardEvent* e, void*) {
  if (e->keyCode == kF12) return EM_FALSE;
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
  // Full screen is the page's (its stage covers the screen, and the canvas's
  // backing store follows at the screen's own pixels).
  if (wantFullscreen)
    EM_ASM({
      if (Module.goFullscreen) Module.goFullscreen();
    });
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

// Touches: each changed touch point is queued in the game's client pixels.
// Handling them here (preventDefault) keeps the browser from scrolling,
// zooming, selecting, or making mouse clicks of them.
void pushTouches(Kind kind, const EmscriptenTouchEvent& e) {
  double width = 0, height = 0;
  emscripten_get_element_css_size("#canvas", &width, &height);
  if (width <= 0 || height <= 0) return;
  const double now = emscripten_get_now();
  for (int i = 0; i < e.numTouches; ++i) {
    const EmscriptenTouchPoint& t = e.touches[i];
    if (!t.isChanged) continue;
    push(kind, static_cast<int>(t.identifier), t.targetX * kWindowWidth / width,
         t.targetY * kWindowHeight / height, now);
  }
}

EM_BOOL onTouchStart(int, const EmscriptenTouchEvent* e, void*) {
  EM_ASM({
    if (Module.touchSeen) Module.touchSeen();
  });
  pushTouches(Kind::TouchStart, *e);
  return EM_TRUE;
}

EM_BOOL onTouchMove(int, const EmscriptenTouchEvent* e, void*) {
  pushTouches(Kind::TouchMove, *e);
  return EM_TRUE;
}

EM_BOOL onTouchEnd(int, const EmscriptenTouchEvent* e, void*) {
  // Full screen and sound are granted only when a touch ends.
  if (wantFullscreen)
    EM_ASM({
      if (Module.goFullscreen) Module.goFullscreen();
    });
  resumeAudio();
  pushTouches(Kind::TouchEnd, *e);
  return EM_TRUE;
}

EM_BOOL onTouchCancel(int, const EmscriptenTouchEvent* e, void*) {
  pushTouches(Kind::TouchCancel, *e);
  return EM_TRUE;
}

// The pads the page saw last frame, by their index in the browser's list.
bool padSeen[kMaxPads] = {};

// The standard mapping's buttons, by their index in its list.
constexpr uint32_t kStandardButtons[] = {
    kPadSouth,        kPadEast, kPadWest, kPadNorth, kPadLeftShoulder, kPadRightShoulder,
    0 /* triggers */, 0,        kPadBack, kPadStart, kPadLeftStick,    kPadRightStick,
    kPadUp,           kPadDown, kPadLeft, kPadRight};
constexpr int kLeftTrigger = 6;
constexpr int kRightTrigger = 7;

// Every standard pad the browser lists, read once per frame. Pads play only
// the page that has the focus, as on the desktops: behind another window the
// page reads none, and what they held is let go.
void readPads() {
  bool present[kMaxPads] = {};
  const bool focused = EM_ASM_INT({ return document.hasFocus() ? 1 : 0; }) != 0;
  if (focused && emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
    const int pads = emscripten_get_num_gamepads();
    for (int i = 0; i < pads && i < kMaxPads; ++i) {
      EmscriptenGamepadEvent g;
      if (emscripten_get_gamepad_status(i, &g) != EMSCRIPTEN_RESULT_SUCCESS || !g.connected)
        continue;
      // Only the standard layout says which button is which.
      if (std::strcmp(g.mapping, "standard") != 0 || g.numAxes < 4) continue;
      present[i] = true;
      PadState pad;
      pad.leftX = g.axis[0];
      pad.leftY = g.axis[1];
      pad.rightX = g.axis[2];
      pad.rightY = g.axis[3];
      const int buttons = g.numButtons < 16 ? g.numButtons : 16;
      for (int b = 0; b < buttons; ++b) {
        if (g.digitalButton[b]) pad.buttons |= kStandardButtons[b];
      }
      if (buttons > kRightTrigger) {
        pad.leftTrigger = g.analogButton[kLeftTrigger];
        pad.rightTrigger = g.analogButton[kRightTrigger];
      }
      padFrame(i, pad);
    }
  }
  for (int i = 0; i < kMaxPads; ++i) {
    if (padSeen[i] && !present[i]) padRemoved(i);
    padSeen[i] = present[i];
  }
}
}  // namespace

void queuePageButton(int virtualKey, bool down) {
  push(down ? Kind::ButtonDown : Kind::ButtonUp, virtualKey);
}

void installEventHandlers() {
  const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(page, nullptr, EM_TRUE, onKeyDown);
  emscripten_set_keyup_callback(page, nullptr, EM_TRUE, onKeyUp);
  emscripten_set_mousemove_callback("#canvas", nullptr, EM_TRUE, onMouseMove);
  emscripten_set_mousedown_callback("#canvas", nullptr, EM_TRUE, onMouseDown);
  emscripten_set_blur_callback(page, nullptr, EM_TRUE, onBlur);
  emscripten_set_touchstart_callback("#canvas", nullptr, EM_TRUE, onTouchStart);
  emscripten_set_touchmove_callback("#canvas", nullptr, EM_TRUE, onTouchMove);
  emscripten_set_touchend_callback("#canvas", nullptr, EM_TRUE, onTouchEnd);
  emscripten_set_touchcancel_callback("#canvas", nullptr, EM_TRUE, onTouchCancel);
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
    case Kind::TouchStart: touchStart(e.key, e.x, e.y, e.ms); break;
    case Kind::TouchMove: {
      const double lookX = shell.lastMouseX, lookY = shell.lastMouseY;
      touchMove(e.key, e.x, e.y);
      // A drag that looked moved the view's cursor: the mouse goes on from there.
      if (shell.lastMouseX != lookX || shell.lastMouseY != lookY) {
        cursorX = shell.lastMouseX;
        cursorY = shell.lastMouseY;
      }
      break;
    }
    case Kind::TouchEnd: touchEnd(e.key, e.ms); break;
    case Kind::TouchCancel: touchCancel(e.key); break;
    case Kind::ButtonDown: pageButton(e.key, true); break;
    case Kind::ButtonUp: pageButton(e.key, false); break;
  }
  return true;
}

// A page cannot be closed from inside the game: no quit request ever comes.
// With the queue empty a frame follows, at the canvas's size and with the pads
// as they are now.
PumpResult pumpEvent(int*) {
  if (pumpOneEvent()) return PumpResult::Handled;
  followCanvasSize();
  readPads();
  return PumpResult::Empty;
}
