// The Win32 shell's window procedure: window messages into game input.
#pragma once

#include <windows.h>

// The procedure of the class "OpenGL". Runs inside DispatchMessageA (pumpEvent
// takes one message per pass) and inside the window calls that send messages.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
