// The input functions of the keyboard and the mouse, the keyboard step and
// the projection, which every shell shares.
#include "app/shell.h"

#include "app/input.h"
#include "app/recording.h"
#include "camera.h"
#include "game/state.h"
#include "gl.h"
#include "math/game_math.h"

// Each input passes the recorded-game stage first (app/recording.h); the
// steps ignore codes outside 0..255, which are never recorded.
void keyDown(int virtualKey) {
  if (takeKey(true, virtualKey)) applyKey(true, virtualKey);
}

void keyUp(int virtualKey) {
  if (takeKey(false, virtualKey)) applyKey(false, virtualKey);
}

void fireButton() {
  if (takeFire()) applyFire();
}

void mouseView(double x, double y) {
  if (takeMouse(x, y)) applyMouse(x, y);
}

void setLook(double yaw, double pitch) {
  if (takeLook(yaw, pitch)) applyLook(yaw, pitch);
}

namespace {
// Per presented frame: the velocity a walking key adds (the frame damps it to
// a steady 40) and the turn rate Left or Right adds (steady at 4.5 degrees).
constexpr double kWalkImpulse = 10.0;
constexpr double kTurnImpulse = 0.5;
// A side step walks at right angles to the heading.
constexpr double kSideStepDegrees = 90.0;

bool held(int virtualKey) { return input.KeyDown[virtualKey] != 0; }

// A toggle that flips once per press, however long the key is held.
void latchedToggle(int virtualKey, bool* latch, bool* value) {
  if (held(virtualKey)) {
    if (!*latch) {
      *value = !*value;
      *latch = true;
    }
  } else {
    *latch = false;
  }
}
}  // namespace

void keyboardStep() {
  const double h = view.heading;
  const double k = kDegToRad;
  if (held(vk::Up) || held(vk::W)) {
    player.xmove -= kWalkImpulse * gmath::sin(h * k);
    player.zmove -= kWalkImpulse * gmath::cos(h * k);
  }
  if (held(vk::Down) || held(vk::S)) {
    player.xmove += kWalkImpulse * gmath::sin(h * k);
    player.zmove += kWalkImpulse * gmath::cos(h * k);
  }
  if (held(vk::A)) {
    player.xmove += kWalkImpulse * gmath::sin((h - kSideStepDegrees) * k);
    player.zmove += kWalkImpulse * gmath::cos((h - kSideStepDegrees) * k);
  }
  if (held(vk::D)) {
    player.xmove += kWalkImpulse * gmath::sin((h + kSideStepDegrees) * k);
    player.zmove += kWalkImpulse * gmath::cos((h + kSideStepDegrees) * k);
  }
  if (held(vk::Left)) {
    input.turnSpeed += kTurnImpulse;
  } else if (held(vk::Right)) {
    input.turnSpeed -= kTurnImpulse;
  }
  bool stats = input.showStats != 0;
  latchedToggle(vk::F, &shell.statsKeyLatch, &stats);
  input.showStats = stats ? 1 : 0;
  latchedToggle(vk::I, &shell.invertKeyLatch, &shell.invertMouse);
}

namespace {
int drawableWidth = kWindowWidth;
int drawableHeight = kWindowHeight;
}  // namespace

void drawableSize(int* width, int* height) {
  *width = drawableWidth;
  *height = drawableHeight;
}

void resizeView(int width, int height) {
  if (height <= 0) height = 1;
  if (width < 0) width = 0;
  drawableWidth = width;
  drawableHeight = height;
  // At 4:3 and wider the view widens with the drawable and keeps its vertical
  // field of view. Narrower than 4:3 it would lose the HUD's sides: the 4:3
  // view is kept whole across the width, centred, with black bars above and
  // below (the frame's clear is not clipped by the viewport).
  int viewHeight = height;
  int bottom = 0;
  double aspect = static_cast<double>(width) / static_cast<double>(height);
  if (static_cast<long long>(width) * 3 < static_cast<long long>(height) * 4) {
    viewHeight = static_cast<int>((static_cast<long long>(width) * 3 + 2) / 4);
    bottom = (height - viewHeight) / 2;
    aspect = 4.0 / 3.0;
  }
  glViewport(0, bottom, width, viewHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
