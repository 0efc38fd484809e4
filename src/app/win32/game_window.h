// The Win32 shell: the game window with its OpenGL context, the window
// procedure and the main loop. WinMain (main_win32.cpp) strings them together;
// everything here can also be linked into a test or a benchmark.
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

// Registers the class, switches the display when full screen, creates the
// window and its context, sets the projection and loads the scene. On false
// the reason has been shown and everything built so far is released.
bool openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag);

// Releases the scene, the context, the device context and the window, and
// restores the display mode; safe at any stage of a failed openGameWindow.
void closeGameWindow();

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the start question; true for full screen. Only Yes runs full screen:
// No, a cancelled box (Escape) or a failed box run in a window.
bool askFullScreen();

// Runs the main loop until Escape, the quit message or a failed frame, and
// returns the exit code: the quit message's code, or 0 for Escape or a failed
// frame. The window stays open; closeGameWindow tears it down.
int runMainLoop();

// Called after each presented frame when set. The game leaves it empty; a
// frame-rate benchmark counts with it.
extern void (*framePresented)();
