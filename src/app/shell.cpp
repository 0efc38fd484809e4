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

void resizeView(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfView, static_cast<double>(width) / static_cast<double>(height), kNearPlane,
                 kFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
