// The Win32 shell's game window with its OpenGL context (openGameWindow,
// closeGameWindow and presentFrame of app/main_loop.h).
#pragma once

#include <windows.h>

// The one game window and its context (null until created).
extern HINSTANCE hInstance;
extern HWND hWnd;
extern HDC hDC;
extern HGLRC hRC;

// The window class of the game window.
constexpr const char* kWindowClass = "OpenGL";
// Resource id of the program icon.
constexpr int kIconId = 101;

// The pixel format the game asks for: double-buffered RGBA with the given
// colour depth and a 16-bit depth buffer.
PIXELFORMATDESCRIPTOR gamePixelFormat(int bits);

// The DPI Windows counts as 100 %.
constexpr unsigned kDefaultDpi = 96;
// The DPI of the window's monitor; openGameWindow sets it, a DPI change keeps
// it up.
extern unsigned windowDpi;

// A size of 96-DPI units at that DPI, in pixels: the windowed client area is
// the game's size scaled so, and keeps its size on the screen.
int scaleToDpi(int size, unsigned dpi);
// Mouse positions reach the game in 96-DPI units of the client area, so the
// same hand motion turns the view by the same angle at any DPI and window
// size; the cursor is placed back in pixels. A DPI outside 48..960 counts as 96.
double pixelsToUnits(int pixels, unsigned dpi);
int unitsToPixels(int units, unsigned dpi);

// Alt+Enter: switches between full screen and a window, keeping the window
// and its GL context (and so every texture and list). In a window the game
// returns to where it was before full screen. False, with nothing changed,
// when full screen cannot be had (switch mode on a display without the mode).
bool toggleFullScreen();

// WM_DPICHANGED: the new DPI; a window takes the rectangle Windows suggests,
// full screen covers its monitor again.
void followDpiChange(unsigned dpi, const RECT* suggested);
