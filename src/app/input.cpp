// The input steps: key entries and their holders, the mouse band, the look
// and the fire request.
#include "app/input.h"

#include <cmath>

#include "game/state.h"
#include "platform/platform.h"

ShellState shell;
KeyHolds keyHolds;

namespace {
bool validKey(int virtualKey) { return virtualKey >= 0 && virtualKey <= 255; }
bool validDevice(int device) { return device >= 0 && device <= kTouchDevice; }
}  // namespace

void applyKey(bool down, int virtualKey) {
  if (!validKey(virtualKey)) return;
  keyHolds.keyboard[virtualKey] = down ? 1 : 0;
  if (down) {
    input.KeyDown[virtualKey] = 1;
  } else if (keyHolds.devices[virtualKey] == 0) {
    input.KeyDown[virtualKey] = 0;
  }
}

bool deviceHolds(int device, int virtualKey) {
  return validKey(virtualKey) && validDevice(device) &&
         (keyHolds.devices[virtualKey] & (1u << device)) != 0;
}

void applyDeviceKey(bool down, int device, int virtualKey) {
  if (!validKey(virtualKey) || !validDevice(device)) return;
  const unsigned bit = 1u << device;
  uint8_t& holders = keyHolds.devices[virtualKey];
  holders = static_cast<uint8_t>(down ? holders | bit : holders & ~bit);
  if (down) {
    input.KeyDown[virtualKey] = 1;
  } else if (holders == 0 && keyHolds.keyboard[virtualKey] == 0) {
    input.KeyDown[virtualKey] = 0;
  }
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

void applyMouse(double x, double y) {
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

void applyLook(double yaw, double pitch) {
  input.mouseYaw = yaw;
  input.pitch = pitch;
}

void applyFire() { input.fireRequest = 1; }
