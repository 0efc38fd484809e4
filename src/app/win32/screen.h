// Full screen and the window's size on the screen (the Win32 shell's side of
// openGameWindow, and the window procedure's Alt+Enter and DPI changes).
// Full screen is a borderless window covering the monitor at the display's
// own mode; with `shell.switchMode` the display is switched to the game's
// mode instead. A window's client area is the game's size scaled to its
// monitor's DPI, so it keeps its size on the screen.
#pragma once

#include <windows.h>

// The DPI Windows counts as 100 %.
constexpr unsigned kDefaultDpi = 96;
// The DPI of the window's monitor; openGameWindow sets it, a DPI change keeps
// it up.
extern unsigned windowDpi;

// A size of 96-DPI units at that DPI, in pixels.
int scaleToDpi(int size, unsigned dpi);
// Mouse positions reach the game in 96-DPI units of the client area, so the
// same hand motion turns the view by the same angle at any DPI and window
// size; the cursor is placed back in pixels. A DPI outside 48..960 counts as 96.
double pixelsToUnits(int pixels, unsigned dpi);
int unitsToPixels(int units, unsigned dpi);

// The window styles of the two ways to play.
constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowedExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFullScreenExStyle = WS_EX_APPWINDOW;

// The game's size (its client area at 96 DPI, and switch mode's display
// mode), taken when the window opens.
void startScreen(int width, int height, int bits);
// The monitor's effective DPI (the system's where Windows has no per-monitor
// DPI), and the window's.
unsigned monitorDpi(HMONITOR monitor);
unsigned dpiOfWindow(HWND window);
// The monitor's rectangle on the desktop; false when Windows gives none.
bool monitorRect(HMONITOR monitor, RECT* rect);
// Switch mode: the display to the game's mode (false when refused), and back.
bool switchDisplay();
void restoreDisplay();
// Hides the cursor over the window (full screen) or shows it again.
void hideCursor(bool hide);
// The outer rectangle of a window whose client area's frame starts at
// `corner`, with the game's size at that DPI.
RECT windowedPlace(POINT corner, unsigned dpi);
void placeWindow(HWND window, HWND after, const RECT& rect, UINT flags);
// The projection for the client area as it is now, in pixels.
void resizeToClient(HWND window);

// Alt+Enter: switches between full screen and a window, keeping the window
// and its GL context (and so every texture and list). In a window the game
// returns to where it was before full screen. False, with nothing changed,
// when full screen cannot be had (switch mode on a display without the mode).
bool toggleFullScreen(HWND window);

// WM_DPICHANGED: the new DPI; a window takes the rectangle Windows suggests,
// full screen covers its monitor again.
void followDpiChange(HWND window, unsigned dpi, const RECT* suggested);
