// The game's input where it reaches the game: the state the shells' input
// leaves behind (the window's state, the mouse band, the toggles, who holds
// which key entry) and the steps that apply one input to the game.
//
// Input flows one way: a shell or a device (app/devices.h) calls an input
// function (app/shell.h, app/devices.h); it passes the recorded-game stage
// (app/recording.h), which records it or, during a replay, drops it; what
// passes is applied here. A replay feeds the recording's own input straight
// into these steps. Nothing here knows of the stages above it.
#pragma once

#include <cstdint>

// How the game meets the screen, chosen on the command line: the start
// question decides, or --window or --fullscreen answered it in advance.
enum class ScreenRequest { Ask, Window, FullScreen };

struct ShellState {
  bool fullscreen = true;  // full screen now (false in a window)
  // Full screen switches the display to exactly 640 x 480 (--switch-mode)
  // instead of covering it at its own mode.
  bool switchMode = false;
  ScreenRequest screenRequest = ScreenRequest::Ask;
  bool active = true;        // false while the window is minimised
  bool invertMouse = false;  // I: inverts the vertical mouse axis
  bool statsKeyLatch = false;
  bool invertKeyLatch = false;
  double lastMouseX = 0;  // client coordinates of the previous mouse move
  double lastMouseY = 0;
};
extern ShellState shell;

// Virtual-key codes the game reads from KeyDown (the Win32 values).
namespace vk {
constexpr int Escape = 0x1B;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int A = 0x41;
constexpr int D = 0x44;
constexpr int F = 0x46;
constexpr int I = 0x49;
constexpr int S = 0x53;
constexpr int W = 0x57;
}  // namespace vk

// The devices besides the keyboard that hold key entries.
constexpr int kMaxPads = 4;             // devices 0..3
constexpr int kTouchDevice = kMaxPads;  // the touch screen and the page's buttons

// Who holds a key entry. The keyboard and every other device hold keys apart:
// an entry stays down while any of them holds it, so a pad let go (or pulled
// out) never releases a key the keyboard still holds, and the reverse.
struct KeyHolds {
  uint8_t keyboard[256] = {};  // 1 while a key message holds the entry
  uint8_t devices[256] = {};   // one bit per device (1 << device)
};
extern KeyHolds keyHolds;

// The steps that apply input to the game. Codes outside 0..255 and devices
// outside 0..kTouchDevice are ignored.
void applyKey(bool down, int virtualKey);
void applyDeviceKey(bool down, int device, int virtualKey);
// Whether the device holds the key entry now.
bool deviceHolds(int device, int virtualKey);
// Turns the view for a mouse move to client position (x, y), warping the
// cursor back into the 10..370 band when it leaves it.
void applyMouse(double x, double y);
void applyLook(double yaw, double pitch);
void applyFire();
