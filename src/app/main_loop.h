// The program's life, the same on every system: the full-screen question, the
// game window, the main loop (one event per pass, a frame whenever the queue
// is empty) and the teardown, with one rule for the exit code. A shell (win32/,
// sdl/, web/) supplies only what is the system's, listed first below.
#pragma once

#include <cstdint>

#include "app/exit_codes.h"
#include "platform/pacer.h"

// ---------------------------------------------------------------------------
// What a shell supplies (besides the services of platform/platform.h).

enum class PumpResult {
  Empty,    // nothing was waiting
  Handled,  // one event was taken and turned into game input
  Quit,     // the quit request (closing the window) was taken
};

// Takes at most one waiting event from the system's queue and passes it to the
// shell's window procedure, which turns it into game input (KeyDown, the mouse
// view, the fire request, `shell.active`, the projection). On Quit, *quitCode
// is the code the quit request carries (0 when the window was closed).
PumpResult pumpEvent(int* quitCode);

// Shows the back buffer.
void presentFrame();

// How openGameWindow ended.
enum class WindowOpen {
  Opened,
  Declined,  // the display refused full screen and the player declined a window
  Failed,    // a step failed; its reason has been shown
};

// Opens the game window with a double-buffered GL context, sets the
// projection (resizeView, for the drawable's pixels) and runs initScene. Full
// screen is a borderless window covering the display the game starts on, at
// the display's own mode; with `shell.switchMode` the display is switched to
// exactly width x height instead. Asks askWindowedFallback when full screen
// cannot be had (with switchMode: the display has no such mode), and reports
// a failed step with showStartError after closeGameWindow. Unless Opened,
// everything built so far is released.
WindowOpen openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag);

// Releases the scene (releaseScene), the context and the window, and restores
// the display mode; safe at any stage of a failed openGameWindow. Reports a
// failed release with showShutdownError and goes on.
void closeGameWindow();

// ---------------------------------------------------------------------------
// What the loop offers a shell.

// Running totals of what the main loop did; they only ever count up.
struct LoopCounters {
  uint64_t passes = 0;
  uint64_t events = 0;  // events taken from the queue
  uint64_t frames = 0;  // runFrame calls
  uint64_t swaps = 0;   // presented back buffers
};
extern LoopCounters loopCounters;

// The full-screen question startGame asks (a shell may put it on its own page first).
constexpr const char* kFullScreenQuestion =
    "Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?";
constexpr const char* kFullScreenCaption = "Start FullScreen?";

// Asks the full-screen question and opens the game window. On false the
// program ends at once with *exitCode (the reason has been shown).
bool startGame(int* exitCode);

// One pass of the main loop: takes one waiting event, or, with the queue
// empty, runs a frame (while `shell.active`), ends on Escape, presents, waits
// for `pacer` (none: the caller paces, as a browser does by calling once per
// display frame) and applies the keyboard. Returns false when the loop is done.
bool loopPass(FramePacer* pacer);

// Closes the game window after the loop; returns the process exit code.
int endGame();

// The whole program on a desktop: startGame, passes paced to 60 presented
// frames per second until the loop is done, endGame. Returns the exit code.
int runGame();

// Called by openGameWindow when the display refuses the full-screen mode:
// asks whether to run in a window instead. No (or a box that could not be
// shown) says "Program Will Now Close." and returns false; openGameWindow then
// gives up with Declined and the program ends normally (exit code 0), as the
// player chose.
bool askWindowedFallback();

// The reasons openGameWindow gives up, each with its message (caption "ERROR").
enum class StartError {
  WindowSystem,    // the window system did not start (Windows: the window class)
  Window,          // the window (or its full-screen mode) could not be made
  DrawingSurface,  // the window gave no surface to draw on (Windows: the device context)
  ChooseFormat,    // no pixel format fits
  SetFormat,       // the surface refused the pixel format
  CreateContext,
  ActivateContext,
  Scene,  // initScene failed (the reader has said why)
};
void showStartError(StartError error);

// The releases of closeGameWindow that can fail (caption "SHUTDOWN ERROR").
enum class ShutdownError {
  ReleaseCurrent,  // making no context current
  DeleteContext,
  ReleaseDeviceContext,
  DestroyWindow,
};
void showShutdownError(ShutdownError error);
