// The input both shells share: the key table, the keyboard step, the mouse
// view, and the projection.
#include "app/shell.h"

#include <cmath>

#include "app/devices.h"
#include "app/recording.h"
#include "math/game_math.h"
#include "platform/platform.h"
#include "camera.h"
#include "game/state.h"
#include "gl.h"

ShellState shell;

// The keyboard's holds are kept apart from the pads' and the touch screen's
// (app/devices.h): a key entry is down while any of them holds it. Each input
// passes the recorded-game gate first (app/recording.h).
void keyDown(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255 || !takeKey(true, virtualKey)) return;
  devices.keyboard[virtualKey] = 1;
  input.KeyDown[virtualKey] = 1;
}

void keyUp(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255 || !takeKey(false, virtualKey)) return;
  devices.keyboard[virtualKey] = 0;
  if (devices.holds[virtualKey] == 0) input.KeyDown[virtualKey] = 0;
}

void fireButton() {
  if (takeFire()) input.fireRequest = 1;
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
// The mouse works in a band of client coordinates on both axes; leaving it
// warps the cursor to the opposite edge. The band counts as a circle of 360
// pixels, and 32 pixels of motion turn the view by one degree.
constexpr double kBandLow = 10.0;
constexpr double kBandHigh = 370.0;
constexpr double kBandCircle = 360.0;
constexpr double kBandMiddle = 180.0;
constexpr double kWarpJump = 300.0;  // a longer move means the cursor was warped
constexpr double kPixelsPerDegree = 32.0;
constexpr double kFullTurn = 360.0;
constexpr double kPitchLimit = 85.0;

// Degrees turned by a move from `last` to `now` on one axis of the band.
double bandDelta(double last, double now) {
  const double d = last - now;
  if (std::fabs(d) <= kWarpJump) return d / kPixelsPerDegree;
  if (last > kBandMiddle) return (last - kBandCircle - now) / kPixelsPerDegree;
  if (now > kBandMiddle) return (last - (now - kBandCircle)) / kPixelsPerDegree;
  return 0;
}
}  // namespace

void mouseView(double x, double y) {
  if (!takeMouse(x, y)) return;
  if (x > kBandHigh) {
    platformWarpCursor(static_cast<int>(kBandLow), static_cast<int>(shell.lastMouseY));
  } else if (x < kBandLow) {
    platformWarpCursor(static_cast<int>(kBandHigh), static_cast<int>(shell.lastMouseY));
  }
  if (y > kBandHigh) {
    platformWarpCursor(static_cast<int>(shell.lastMouseX), static_cast<int>(kBandLow));
  } else if (y < kBandLow) {
    platformWarpCursor(static_cast<int>(shell.lastMouseX), static_cast<int>(kBandHigh));
  }

  input.mouseYaw += bandDelta(shell.lastMouseX, x);
  // The overshoot is dropped, not carried.
  if (input.mouseYaw > kFullTurn) {
    input.mouseYaw = 0;
  } else if (input.mouseYaw < 0) {
    input.mouseYaw = kFullTurn;
  }

  const double pitchDelta = bandDelta(shell.lastMouseY, y);
  if (shell.invertMouse) {
    input.pitch += pitchDelta;
  } else {
    input.pitch -= pitchDelta;
  }
  if (input.pitch > kPitchLimit) {
    input.pitch = kPitchLimit;
  } else if (input.pitch < -kPitchLimit) {
    input.pitch = -kPitchLimit;
  }

  shell.lastMouseX = x;
  shell.lastMouseY = y;
}

void setLook(double yaw, double pitch) {
  if (!takeLook(yaw, pitch)) return;
  input.mouseYaw = yaw;
  input.pitch = pitch;
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
