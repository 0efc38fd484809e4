// The OS-independent pieces of the shells: the state the window procedure and
// the main loop share, the keyboard step, the mouse view and the projection.
// Both shells (win32/ and sdl/) call these, so the player gets the same game.
#pragma once

#include <cstdint>

struct ShellState {
  bool fullscreen = true;   // false once the user declines full screen
  bool active = true;       // false while the window is minimised
  bool invertMouse = false; // I: inverts the vertical mouse axis
  bool statsKeyLatch = false;
  bool invertKeyLatch = false;
  double lastMouseX = 0;    // client coordinates of the previous mouse move
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

// Window texts shared by both shells.
constexpr const char* kWindowTitle = "First Person Shooter";
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kWindowBits = 16;

// Key messages: set or clear the key's KeyDown entry (codes outside 0..255 are ignored).
void keyDown(int virtualKey);
void keyUp(int virtualKey);

// The fire button's press (the mouse's left button): the next frame fires.
void fireButton();

// Turns the held keys into walking and turning impulses and handles the F and
// I toggles; run once per presented frame.
void keyboardStep();

// Turns the view for a mouse move to client position (x, y), warping the
// cursor back into the 10..370 band when it leaves it.
void mouseView(double x, double y);

// Points the mouse view at a yaw and pitch (degrees) at once, as a run of
// mouse moves would; the browser tests level the view with it.
void setLook(double yaw, double pitch);

// Viewport and projection for a client area of the given size.
void resizeView(int width, int height);

// Loads every resource and sets the fixed GL state; false ends the program.
bool initScene();

// The GL state that stays for the whole run (texturing, depth test, clear
// colour); initScene sets it, and so do the tests that build a scene of their own.
void setFixedGlState();

// Releases what initScene made that does not end with the GL context.
void releaseScene();
