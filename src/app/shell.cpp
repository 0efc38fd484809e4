#include "app/shell.h"

#include <cmath>

#include "platform/platform.h"
#include "game/state.h"
#include "gl.h"

ShellState shell;

void keyDown(int virtualKey) {
  if (virtualKey >= 0 && virtualKey < 256) input.KeyDown[virtualKey] = 1;
}

void keyUp(int virtualKey) {
  if (virtualKey >= 0 && virtualKey < 256) input.KeyDown[virtualKey] = 0;
}

namespace {
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
    player.xmove -= 10 * std::sin(h * k);
    player.zmove -= 10 * std::cos(h * k);
  }
  if (held(vk::Down) || held(vk::S)) {
    player.xmove += 10 * std::sin(h * k);
    player.zmove += 10 * std::cos(h * k);
  }
  if (held(vk::A)) {
    player.xmove += 10 * std::sin((h - 90) * k);
    player.zmove += 10 * std::cos((h - 90) * k);
  }
  if (held(vk::D)) {
    player.xmove += 10 * std::sin((h + 90) * k);
    player.zmove += 10 * std::cos((h + 90) * k);
  }
  if (held(vk::Left)) {
    input.turnSpeed += 0.5;
  } else if (held(vk::Right)) {
    input.turnSpeed -= 0.5;
  }
  bool stats = input.showStats != 0;
  latchedToggle(vk::F, &shell.statsKeyLatch, &stats);
  input.showStats = stats ? 1 : 0;
  latchedToggle(vk::I, &shell.invertKeyLatch, &shell.invertMouse);
}

namespace {
constexpr double kBandLow = 10;
constexpr double kBandHigh = 370;
constexpr double kPixelsPerDegree = 32;

// Degrees turned by a move from `last` to `now` on one axis of the band; a jump
// of more than 300 pixels means the cursor was warped between the two moves.
double bandDelta(double last, double now) {
  const double d = last - now;
  if (std::fabs(d) <= 300) return d / kPixelsPerDegree;
  if (last > 180) return (last - 360 - now) / kPixelsPerDegree;
  if (now > 180) return (last - (now - 360)) / kPixelsPerDegree;
  return 0;
}
}  // namespace

void mouseView(double x, double y) {
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
  if (input.mouseYaw > 360) {
    input.mouseYaw = 0;
  } else if (input.mouseYaw < 0) {
    input.mouseYaw = 360;
  }

  const double pitchDelta = bandDelta(shell.lastMouseY, y);
  if (shell.invertMouse) {
    input.pitch += pitchDelta;
  } else {
    input.pitch -= pitchDelta;
  }
  if (input.pitch > 85) {
    input.pitch = 85;
  } else if (input.pitch < -85) {
    input.pitch = -85;
  }

  shell.lastMouseX = x;
  shell.lastMouseY = y;
}

void resizeView(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 1250.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
