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
