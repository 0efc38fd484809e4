// Pads and touch screens, in the game's own input: they hold the same key
// entries the keys hold (so every step and turn is the keyboard's own), move
// the cursor through the mouse view, and fire through fireButton. A shell
// reads its system's pads once per frame and passes their state here, and
// hands touches over as they come; it never writes game state itself.
#pragma once

#include <cstdint>

#include "app/input.h"

// ---------------------------------------------------------------------------
// What each device remembers between frames (its key holds are in app/input.h).

struct DeviceState {
  struct Pad {
    bool firing = false;   // the fire button (or trigger) was down last frame
    double lookRestX = 0;  // cursor motion below a whole pixel, carried
    double lookRestY = 0;
  } pads[kMaxPads];
  struct Touch {
    bool active = false;
    bool dragging = false;  // moved more than the tap's slop: a look, not a tap
    long id = 0;
    double startX = 0, startY = 0;  // where the finger landed (game pixels)
    double lastX = 0, lastY = 0;
    double startMs = 0;
  } stick, look;
  double touchRestX = 0;
  double touchRestY = 0;
};
extern DeviceState devices;

// A device takes or lets go of a key entry (codes outside 0..255 are ignored);
// like the keyboard's, it passes the recorded-game stage first.
void deviceKeyDown(int device, int virtualKey);
void deviceKeyUp(int device, int virtualKey);
// Lets go of every key entry the device holds.
void releaseDeviceKeys(int device);

// ---------------------------------------------------------------------------
// Pads, in the layout of a standard pad (the south face button is A on most).

enum PadButton : uint32_t {
  kPadSouth = 1u << 0,
  kPadEast = 1u << 1,
  kPadWest = 1u << 2,
  kPadNorth = 1u << 3,
  kPadBack = 1u << 4,   // view, back or select
  kPadStart = 1u << 5,  // menu or start
  kPadLeftStick = 1u << 6,
  kPadRightStick = 1u << 7,
  kPadLeftShoulder = 1u << 8,
  kPadRightShoulder = 1u << 9,
  kPadUp = 1u << 10,
  kPadDown = 1u << 11,
  kPadLeft = 1u << 12,
  kPadRight = 1u << 13,
};

// One pad at one moment. Sticks run -1..1 with y growing downwards (pushed
// away from the player is negative), triggers 0..1.
struct PadState {
  double leftX = 0, leftY = 0;
  double rightX = 0, rightY = 0;
  double leftTrigger = 0, rightTrigger = 0;
  uint32_t buttons = 0;
};

// How the pad speaks to the game (the README's controls table says the same).
constexpr double kStickDeadZone = 0.25;     // of full deflection, for both sticks
constexpr double kTriggerPressed = 0.5;     // a trigger past this is a press
constexpr double kLookPixelsPerFrame = 64;  // full right-stick deflection: 2 degrees a frame

// A connected pad's state for this frame (slot 0..kMaxPads-1): holds and lets
// go of its key entries, turns the view for the right stick and fires on a
// press of the right trigger or the south button. Run once per frame, before
// the frame, for each connected pad.
void padFrame(int slot, const PadState& pad);

// The pad in `slot` is gone: every key it held is let go.
void padRemoved(int slot);

// ---------------------------------------------------------------------------
// Touches, in the game's client pixels (0..640 x 0..480), `ms` on any clock
// that counts milliseconds. A finger landing on the left half is a movement
// stick anchored where it landed; on the right half it drags the view, and a
// tap (ended within kTapMilliseconds, never further than kTapSlop from where
// it landed) fires. Touches beyond one on each half are ignored.

constexpr double kTapMilliseconds = 200;
constexpr double kTapSlop = 10;           // pixels
constexpr double kTouchStickRadius = 60;  // pixels from the anchor to full deflection
constexpr double kTouchLookGain = 8;      // cursor pixels per pixel dragged: 1/4 degree

void touchStart(long id, double x, double y, double ms);
void touchMove(long id, double x, double y);
void touchEnd(long id, double ms);
void touchCancel(long id);  // the system took the touch: it lets go, never fires

// A button the page draws over the game (F or Escape), pressed or let go.
void pageButton(int virtualKey, bool down);
