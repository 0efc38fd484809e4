// Pads and touches turned into the key entries, the mouse view and the fire
// button that the keyboard and the mouse use.
#include "app/devices.h"

#include <cmath>

#include "app/input.h"
#include "app/recording.h"
#include "app/shell.h"
#include "platform/platform.h"

DeviceState devices;

// Only a hold that starts or ends is news for a recorded game (app/recording.h).
void deviceKeyDown(int device, int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255 || device < 0 || device > kTouchDevice) return;
  if (deviceHolds(device, virtualKey) || takeDeviceKey(true, device, virtualKey)) {
    applyDeviceKey(true, device, virtualKey);
  }
}

void deviceKeyUp(int device, int virtualKey) {
  if (deviceHolds(device, virtualKey) && takeDeviceKey(false, device, virtualKey)) {
    applyDeviceKey(false, device, virtualKey);
  }
}

void releaseDeviceKeys(int device) {
  for (int key = 0; key < 256; ++key) deviceKeyUp(device, key);
}

namespace {
// The keys a stick (or the touch stick) can hold, and each one's direction.
struct StickKey {
  int key;
  double x, y;  // the unit direction that holds it
};
constexpr StickKey kStickKeys[] = {{vk::W, 0, -1}, {vk::S, 0, 1}, {vk::A, -1, 0}, {vk::D, 1, 0}};
// A direction holds a key when it lies within 67.5 degrees of the key's own,
// so that the stick walks in eight directions: straight, or two keys at once.
constexpr double kEighthTurn = 0.38268343236508977;  // sin 22.5 degrees

void holdKey(int device, int key, bool down) {
  if (down) {
    deviceKeyDown(device, key);
  } else {
    deviceKeyUp(device, key);
  }
}

// Past the dead zone, a stick holds the walking keys of its direction.
void stickKeys(int device, double x, double y) {
  const double length = std::hypot(x, y);
  for (const StickKey& k : kStickKeys) {
    const bool down = length > kStickDeadZone && (x * k.x + y * k.y) > kEighthTurn * length;
    holdKey(device, k.key, down);
  }
}

// The mouse band, as mouseView keeps it: positions wrap around a circle of
// 360 pixels from 10 to 370, and a step longer than 300 reads as a wrap.
constexpr double kBandLow = 10;
constexpr double kBandHigh = 370;
constexpr double kBandCircle = 360;
constexpr double kLongestStep = 48;  // so a wrapped step is always read as one

double wrapIntoBand(double v) {
  if (v > kBandHigh) return v - kBandCircle;
  if (v < kBandLow) return v + kBandCircle;
  return v;
}

// Moves the cursor by whole pixels (rest carried in *restX, *restY) through
// the mouse view, in steps it reads as motion: the cursor never leaves the
// band, so no warp is asked for. Returns whether it moved.
bool lookBy(double dx, double dy, double* restX, double* restY) {
  dx += *restX;
  dy += *restY;
  const double wholeX = std::trunc(dx);
  const double wholeY = std::trunc(dy);
  *restX = dx - wholeX;
  *restY = dy - wholeY;
  if (wholeX == 0 && wholeY == 0) return false;
  const int steps =
      static_cast<int>(std::ceil(std::fmax(std::fabs(wholeX), std::fabs(wholeY)) / kLongestStep));
  double doneX = 0, doneY = 0;
  for (int i = 1; i <= steps; ++i) {
    const double toX = std::round(wholeX * i / steps);
    const double toY = std::round(wholeY * i / steps);
    mouseView(wrapIntoBand(shell.lastMouseX + toX - doneX),
              wrapIntoBand(shell.lastMouseY + toY - doneY));
    doneX = toX;
    doneY = toY;
  }
  return true;
}

// Where a stick's deflection past the dead zone goes: 0 at its edge, 1 at
// full deflection, squared so that small deflections aim finely.
double lookCurve(double length) {
  if (length <= kStickDeadZone) return 0;
  const double t = std::fmin(1.0, (length - kStickDeadZone) / (1.0 - kStickDeadZone));
  return t * t;
}

struct ButtonKey {
  uint32_t buttons;  // any of these holds the key
  int key;
};
constexpr ButtonKey kButtonKeys[] = {
    {kPadUp, vk::Up},
    {kPadDown, vk::Down},
    {kPadLeft | kPadLeftShoulder, vk::Left},
    {kPadRight | kPadRightShoulder, vk::Right},
    {kPadBack, vk::F},
    {kPadNorth | kPadRightStick, vk::I},
    {kPadStart, vk::Escape},
};
}  // namespace

void padFrame(int slot, const PadState& pad) {
  if (slot < 0 || slot >= kMaxPads) return;
  DeviceState::Pad& memory = devices.pads[slot];
  stickKeys(slot, pad.leftX, pad.leftY);
  for (const ButtonKey& b : kButtonKeys) holdKey(slot, b.key, (pad.buttons & b.buttons) != 0);

  const double length = std::hypot(pad.rightX, pad.rightY);
  const double speed = kLookPixelsPerFrame * lookCurve(length);
  if (speed > 0 && lookBy(speed * pad.rightX / length, speed * pad.rightY / length,
                          &memory.lookRestX, &memory.lookRestY)) {
    // The system's cursor follows, so that the mouse goes on from here.
    platformWarpCursor(static_cast<int>(shell.lastMouseX), static_cast<int>(shell.lastMouseY));
  }

  const bool firing = (pad.buttons & kPadSouth) != 0 || pad.rightTrigger > kTriggerPressed;
  if (firing && !memory.firing) fireButton();
  memory.firing = firing;
}

void padRemoved(int slot) {
  if (slot < 0 || slot >= kMaxPads) return;
  releaseDeviceKeys(slot);
  devices.pads[slot] = DeviceState::Pad{};
}

namespace {
constexpr double kLeftHalf = kWindowWidth / 2.0;

void releaseStick() {
  for (const StickKey& k : kStickKeys) deviceKeyUp(kTouchDevice, k.key);
  devices.stick = DeviceState::Touch{};
}
}  // namespace

void touchStart(long id, double x, double y, double ms) {
  DeviceState::Touch* touch = x < kLeftHalf ? &devices.stick : &devices.look;
  if (touch->active) return;
  *touch = DeviceState::Touch{true, false, id, x, y, x, y, ms};
}

void touchMove(long id, double x, double y) {
  DeviceState::Touch& stick = devices.stick;
  if (stick.active && stick.id == id) {
    stick.lastX = x;
    stick.lastY = y;
    stickKeys(kTouchDevice, (x - stick.startX) / kTouchStickRadius,
              (y - stick.startY) / kTouchStickRadius);
    return;
  }
  DeviceState::Touch& look = devices.look;
  if (!look.active || look.id != id) return;
  if (!look.dragging) {
    if (std::hypot(x - look.startX, y - look.startY) <= kTapSlop) return;
    look.dragging = true;
  }
  lookBy((x - look.lastX) * kTouchLookGain, (y - look.lastY) * kTouchLookGain, &devices.touchRestX,
         &devices.touchRestY);
  look.lastX = x;
  look.lastY = y;
}

void touchEnd(long id, double ms) {
  if (devices.stick.active && devices.stick.id == id) {
    releaseStick();
  } else if (devices.look.active && devices.look.id == id) {
    if (!devices.look.dragging && ms - devices.look.startMs <= kTapMilliseconds) fireButton();
    devices.look = DeviceState::Touch{};
  }
}

void touchCancel(long id) {
  if (devices.stick.active && devices.stick.id == id) {
    releaseStick();
  } else if (devices.look.active && devices.look.id == id) {
    devices.look = DeviceState::Touch{};
  }
}

void pageButton(int virtualKey, bool down) { holdKey(kTouchDevice, virtualKey, down); }
