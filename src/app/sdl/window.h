// The SDL2 shell's game window and GL context (openGameWindow, closeGameWindow
// and presentFrame of app/main_loop.h), and the connection to the display.
#pragma once

#include <SDL.h>

// The game window and its context; null while not open.
extern SDL_Window* gameWindow;
extern SDL_GLContext gameContext;

// Starts SDL's video system on a display the player can see. SDL falls back to
// a driver without a screen (offscreen, dummy) when no display answers; such a
// driver is accepted only when SDL_VIDEODRIVER names it. A refused or screenless
// start is tried again twice (a display server may refuse a connection made
// just as another client leaves). Each successful call is matched by stopVideo.
bool startVideo();
void stopVideo();

// Why the last startVideo failed, for the player's standard error stream.
const char* videoStartFailure();

// The projection for the window's drawable as it is now, in pixels (more
// than the window's size on a high-density screen).
void resizeToDrawable();

// Alt+Enter: between full screen and a window, keeping the window and its GL
// context. Where the system refuses, the game stays as it was.
void switchFullScreen();
