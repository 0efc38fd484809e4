// The one game window with its OpenGL context, on SDL2.
#pragma once

#include <SDL.h>

// The game window and its context; null while not open.
extern SDL_Window* gameWindow;
extern SDL_GLContext gameContext;

// Opens the window (or the full-screen display mode) with a double-buffered
// GL context, sets the projection and loads the scene. Every failure has
// been reported and cleaned up when it returns false.
bool openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag);

// Releases the scene, the context and the window and restores the display
// mode; safe at any stage of a failed openGameWindow.
void closeGameWindow();
